#pragma once

#include <windows.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>

#include "platform/health_probe.h"
#include "platform/win32/job_process.h"

namespace vigilon {

using HealthClock = std::chrono::steady_clock;

// Each kind of health check, asked on the calling thread, which they hold until the system
// answers or `deadline` passes: call them on a thread of the pool, never on the user-interface
// thread. They fill in what they found; the caller measures the time.

// A GET of the URL; the status, and whether the first 64 KiB of the body hold the text looked for,
// compared without regard to case after reading the body as UTF-8.
HealthAnswer AskHttp(HealthQuestion const& question, HealthClock::time_point deadline);

// A TCP connection to the host and port, closed again at once.
HealthAnswer AskTcp(HealthQuestion const& question, HealthClock::time_point deadline);

// Whether the path exists, and how long ago it was last written. A share that never answers holds
// the thread, not the deadline: the probe gives up on it at the deadline.
HealthAnswer AskFile(HealthQuestion const& question);

// The command of a Run check, which another thread may end while the check waits for it.
class HealthCommand {
public:
    // Starts `program` with `commandLine` in `folder`; 0, or the error that stopped it. A command ended before it started is not started.
    DWORD Start(std::wstring const& program, std::wstring const& commandLine, std::wstring const& folder);
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
// it is ended. Its program, the full path it begins with, is read as a Run value's is: the text in
// quotes, or up to ".exe", so that a path with blanks needs no quotes.
HealthAnswer AskRun(HealthQuestion const& question, HealthClock::time_point deadline, HealthCommand& command);

}  // namespace vigilon
