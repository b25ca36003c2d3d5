#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/window_match.h"
#include "platform/process_watch.h"
#include "platform/window_handle.h"

namespace vigilon {

// The image of each process that owns a window looked at for a program with Process=, by process
// id: read once per process and kept while the process lives, so that no process is asked twice,
// in a pass or in the passes after.
//
// How it stays true: a process id can name a later process only once the first has ended, and a
// window lives no longer than its process. So an entry keeps the windows through which its image
// was read or confirmed: while one of them is still on the desktop (the caller prunes the others
// after every reading of the desktop), the id still names that process. A window of the id not
// seen before may belong to a later process that took the id over: the process's start time is
// read (one question, cheaper than the image), and the image read again when it differs. An image
// that cannot be read is kept only until the caller next prunes, then asked again.
class ProcessImages {
public:
    // `longPath` writes out an image the system names by short (8.3) names, as a Process= key is.
    explicit ProcessImages(ProcessWatch& processes, FullPathOf longPath = {})
        : processes_(processes), longPath_(std::move(longPath)) {}

    // The image, upper-cased, of process `processId`, which owns `window`; empty when it cannot be
    // read.
    std::wstring const& Of(std::uint32_t processId, WindowHandle window);

    // Forgets the windows `there` says are gone, the processes left with none, and the processes
    // whose image could not be read, so that it is read again.
    void Prune(std::function<bool(WindowHandle)> const& there);

    bool Empty() const { return known_.empty(); }

private:
    struct Known {
        std::wstring upperImage;
        std::uint64_t started = 0;  // the process's start time; 0 when it could not be read
        std::vector<WindowHandle> windows;
    };
    // Reads the image and start time of the process now.
    void Read(std::uint32_t processId, Known& known);

    ProcessWatch& processes_;
    FullPathOf longPath_;
    std::unordered_map<std::uint32_t, Known> known_;
};

}  // namespace vigilon
