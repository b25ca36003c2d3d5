#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/window_handle.h"

namespace vigilon {

enum class EndResult : std::uint8_t {
    Ended,   // the process was ended
    Gone,    // it had ended already
    Denied,  // it may not be ended (it runs elevated, or is this program)
};

// What the system tells of a process's end.
struct ProcessExit {
    enum class State : std::uint8_t {
        Running,  // it has not ended
        Ended,    // it ended with `code`
        Unknown,  // it cannot be told: the process was not watched, or may not be asked
    };
    State state = State::Unknown;
    std::uint32_t code = 0;
};

// A process of this session that runs one of the executables asked for (see ProcessesOfImages).
struct ImageProcess {
    std::uint32_t processId = 0;
    std::size_t image = 0;  // the index of its executable among those asked for
};

// Watching other programs' processes: learns of their end as it happens, so that a watched
// program that exits can be started again at once instead of at the next tick; asks whether their
// windows still answer; ends a process that does not.
class ProcessWatch {
public:
    virtual ~ProcessWatch() = default;

    // Watches exactly these processes from now on: the end of each is reported once, through the
    // host's ProcessEnded, and processes left out of the list are no longer watched. A process
    // that cannot be opened (already gone, or not ours to see) is left out silently.
    virtual void WatchProcesses(std::span<std::uint32_t const> processIds) = 0;

    // Asks the window's owner for an answer (WM_NULL, given up when the system finds the owner
    // hung) without waiting for it: whether it answered is reported later, through the host's
    // WindowAnswered. False when the question could not be sent: no answer will come.
    virtual bool AskToAnswer(WindowHandle window) = 0;

    // The full path of the process's executable file; empty when it cannot be read.
    virtual std::wstring ProcessImagePath(std::uint32_t processId) = 0;

    // When the process started, in the system's own units; 0 when it cannot be read.
    virtual std::uint64_t ProcessStartTime(std::uint32_t processId) = 0;

    // The process's private memory (its commit charge) in bytes; 0 when it cannot be read.
    virtual std::uint64_t PrivateMemoryBytes(std::uint32_t processId) = 0;

    // Whether a watched process has ended, and its exit code if so. A process is asked about only
    // while it is watched (WatchProcesses): the watch holds it, so the code can be read after it
    // ended and its id cannot name another process meanwhile.
    virtual ProcessExit ExitCode(std::uint32_t processId) = 0;

    // The processes running in this session whose executable is one of `images` (full paths,
    // compared with their case ignored), in the order the system lists them. One enumeration of the
    // system's processes; only a process whose file name is one of the images' is opened, to read
    // its full path and its session.
    virtual std::vector<ImageProcess> ProcessesOfImages(std::span<std::wstring const> images) = 0;

    // Ends the process at once, as the task manager does.
    virtual EndResult EndProcess(std::uint32_t processId) = 0;
};

}  // namespace vigilon
