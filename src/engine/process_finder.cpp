#include "engine/process_finder.h"

#include "support/text_case.h"

namespace vigilon {

std::wstring const& ProcessFinder::ImageOf(WatchedProgram const& record) {
    auto const [it, added] = images_.try_emplace(record.exe);
    if (added && !record.exe.empty()) it->second = ToUpperText(files_.LongFullPath(record.exe));
    return it->second;
}

void ProcessFinder::ForgetUnusedImages() {
    for (auto it = images_.begin(); it != images_.end();) {
        bool used = false;
        for (int i = 1; i <= programs_.Count() && !used; ++i) used = programs_[i].exe == it->first;
        it = used ? std::next(it) : images_.erase(it);
    }
}

std::vector<ProcessFinder::Running> const& ProcessFinder::Listing() {
    if (listed_) return *listed_;
    listed_.emplace();
    ForgetUnusedImages();
    std::vector<std::wstring> images;
    for (int i = 1; i <= programs_.Count(); ++i) {
        if (!Windowless(programs_[i].rules)) continue;
        std::wstring const& image = ImageOf(programs_[i]);
        if (!image.empty()) images.push_back(image);
    }
    if (images.empty()) return *listed_;
    for (ImageProcess const& process : processes_.ProcessesOfImages(images)) {
        listed_->push_back({images[process.image], process.processId});
    }
    return *listed_;
}

std::uint32_t ProcessFinder::Find(WatchedProgram const& record, std::uint32_t known, std::uint32_t started,
                                  TakenByOther const& taken) {
    std::wstring const image = ImageOf(record);  // a copy: a listing may forget unused paths
    // Watched, it still runs: its id names no other process while the watch holds it. Taken only
    // when it was listed as this EXE: a window's process from before Window=None, or one of the
    // EXE before it changed, is no process of this one.
    auto const held = found_.find(record.name);
    bool const listedAsIs = held != found_.end() && held->second.processId == known && held->second.image == image;
    ProcessExit::State const knownState = known == 0 ? ProcessExit::State::Unknown : processes_.ExitCode(known).state;
    if (knownState == ProcessExit::State::Running && listedAsIs) return known;
    std::uint32_t found = 0;
    for (Running const& running : Listing()) {
        // One known to have ended may still be listed while a handle holds it.
        if (running.image != image || (running.processId == known && knownState == ProcessExit::State::Ended)) continue;
        if (running.processId == started || running.processId == known) {
            found = running.processId;
            break;
        }
        if (found == 0 && !taken(running.processId)) found = running.processId;
    }
    if (found == 0) {
        found_.erase(record.name);
    } else {
        found_[record.name] = {image, found};
    }
    return found;
}

}  // namespace vigilon
