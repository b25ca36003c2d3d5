#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/watched_programs.h"
#include "platform/file_system.h"
#include "platform/process_watch.h"

namespace vigilon {

// Finds the process of each program that shows no window (Window=None): a process of its EXE in
// this session. What it costs: a process found is kept while the process watch says it runs, which
// asks the system nothing (the watch holds its handle); the system's processes are listed only for a
// program not found, at most once between two calls of Stale (once a pass, and again after a
// start or a message box, which run the message loop), for every such program at once; and never
// when no program is without a window.
class ProcessFinder {
public:
    ProcessFinder(ProcessWatch& processes, FileSystem& files, WatchedPrograms const& programs)
        : processes_(processes), files_(files), programs_(programs) {}

    // A pass begins, or events were processed: processes may have come and gone since the listing.
    void Stale() { listed_.reset(); }

    // Whether a process is taken by another program than the one asking.
    using TakenByOther = std::function<bool(std::uint32_t processId)>;
    // The program's process, 0 for none: `known` while it still runs, if it was found here for the
    // program's EXE as it is now; otherwise a process of its EXE in this session that no other
    // program holds, `started` (the one Vigilon last started for it) before any other.
    std::uint32_t Find(WatchedProgram const& record, std::uint32_t known, std::uint32_t started,
                       TakenByOther const& taken);

private:
    struct Running {
        std::wstring image;  // the full path asked for, as LongFullPath gives it
        std::uint32_t processId;
    };
    // The full path a program's EXE is compared by, worked out once per EXE text: writing it out
    // long reads the disk, which may be a share that is offline, and this runs on the UI thread.
    std::wstring const& ImageOf(WatchedProgram const& record);
    // Forgets the paths of EXE texts no program has any more.
    void ForgetUnusedImages();
    std::vector<Running> const& Listing();

    ProcessWatch& processes_;
    FileSystem& files_;
    WatchedPrograms const& programs_;
    std::optional<std::vector<Running>> listed_;
    std::map<std::wstring, std::wstring> images_;  // by EXE text: its full path, upper case
    // By program name: the process last found for it and the full path it was listed as.
    std::map<std::wstring, Running> found_;
};

}  // namespace vigilon
