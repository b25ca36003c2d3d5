#include "engine/process_images.h"

#include <algorithm>

#include "support/text_case.h"

namespace vigilon {

std::wstring const& ProcessImages::Of(std::uint32_t processId, WindowHandle window) {
    auto const [entry, added] = known_.try_emplace(processId);
    Known& known = entry->second;
    if (added) {
        Read(processId, known);
    } else if (std::find(known.windows.begin(), known.windows.end(), window) == known.windows.end()) {
        // A window not seen before: the id may have passed to a later process.
        std::uint64_t const started = processes_.ProcessStartTime(processId);
        if (started == 0 || started != known.started) {
            known.windows.clear();
            Read(processId, known);
        }
    } else {
        return known.upperImage;
    }
    known.windows.push_back(window);
    return known.upperImage;
}

void ProcessImages::Read(std::uint32_t processId, Known& known) {
    std::wstring image = processes_.ProcessImagePath(processId);
    // Only a path with a short name in it is read from the disk again, once for the process.
    if (longPath_ && image.find(L'~') != std::wstring::npos) image = longPath_(image);
    known.upperImage = ToUpperText(image);
    known.started = processes_.ProcessStartTime(processId);
}

void ProcessImages::Prune(std::function<bool(WindowHandle)> const& there) {
    for (auto it = known_.begin(); it != known_.end();) {
        std::erase_if(it->second.windows, [&](WindowHandle window) { return !there(window); });
        // An image that could not be read (an elevated program's) is asked again after the next
        // reading of the desktop, not kept for the life of the process.
        bool const drop = it->second.windows.empty() || it->second.upperImage.empty();
        it = drop ? known_.erase(it) : std::next(it);
    }
}

}  // namespace vigilon
