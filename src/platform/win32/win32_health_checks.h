#pragma once

#include <windows.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/health_probe.h"
#include "platform/win32/job_process.h"

namespace vigilon {

using HealthClock = std::chrono::steady_clock;

// Each kind of health check, asked on the calling thread, which they hold until the system
// answers or `deadline` passes: call them on a thread of the pool, never on the user-interface
// thread. They fill in what they found; the caller measures the time.

// Looks for a text, without regard to case, in a body that arrives as UTF-8 in pieces. Each piece is
// searched together with the end of those before it, as long as the text can be, so that a text
// split between two pieces is found too.
class BodySearch {
public:
    explicit BodySearch(std::wstring const& text);
    // Searches the next piece; true once the text was found, in it or before.
    bool Add(std::string_view piece);
    bool Found() const { return found_; }

private:
    std::wstring text_;  // in lower case
    std::size_t tailBytes_;
    std::string tail_;
    bool found_;
};

// A GET of the URL; the status, and whether the first 64 KiB of the body hold the text looked for,
// compared without regard to case after reading the body as UTF-8. The body is read only until the
// text is found; a read that fails or runs past the deadline is said as such.
HealthAnswer AskHttp(HealthQuestion const& question, HealthClock::time_point deadline);

// A TCP connection to the host and port, closed again at once.
HealthAnswer AskTcp(HealthQuestion const& question, HealthClock::time_point deadline);

// Whether the path exists, and how long ago it was last written; a path not found is told from a
// share that cannot be reached. A share that never answers holds
// the thread, not the deadline: the probe gives up on it at the deadline.
HealthAnswer AskFile(HealthQuestion const& question);

// The command of a Run check, which another thread may end while the check waits for it.
class HealthCommand {
public:
    // Starts `commandLine` in `folder`, as the program `application` when it is given (else the
    // system reads the program from the command line); 0, or the error that stopped it. A command
    // ended before it started is not started. Closing the handles ends what the command left running.
    DWORD Start(std::wstring const& application, std::wstring const& commandLine, std::wstring const& folder);
    // The started process's handle, for the thread that started it to wait on until Release.
    HANDLE Process() const { return process_ ? process_->process.Get() : nullptr; }
    // Ends the command and what it started, now, or at its start when it has not started yet.
    void End();
    // Closes the handles once the check is done with them.
    void Release();

private:
    std::mutex mutex_;
    bool ended_ = false;
    std::optional<JobProcess> process_;
};

// Runs the command line without a window and waits for it to end, at most until `deadline`, when
// it is ended. Its program, the full path it begins with, is the text in quotes, or up to ".exe",
// so that a path with blanks needs no quotes, or else up to the first blank (a script, say
// C:\scripts\check.cmd, which the system runs with cmd.exe; an exe is started without it).
HealthAnswer AskRun(HealthQuestion const& question, HealthClock::time_point deadline, HealthCommand& command);

}  // namespace vigilon
