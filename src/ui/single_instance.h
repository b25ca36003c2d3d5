#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "platform/win32/win32_owners.h"
#include "ui/instance_logic.h"

namespace vigilon {

// Marks the running copy of the program for the user's session with a named mutex, and publishes
// the copy's process id beside it, so that a script's command can tell the real copy's window from
// one that only took its class name. A copy that is ending says so with a named event: Windows may
// take a few seconds to tear its windows down, and a start meanwhile waits for it to be gone
// instead of taking it for a copy that goes on running.
class SingleInstance {
public:
    SingleInstance();
    SingleInstance(SingleInstance const&) = delete;
    SingleInstance& operator=(SingleInstance const&) = delete;

    // True when another copy runs and is not ending, or when the mutex could not be made at all.
    bool AlreadyRunning() const { return claim_ != InstanceClaim::First; }

    // How the mutex was found.
    InstanceClaim Claim() const { return claim_; }

    // This copy has begun to end: a new start need not give way to it.
    void Ending() const;

    // True when a copy of the program runs in this session (or the mutex is there but not ours to
    // open); takes no part in the check itself.
    static bool Running();

    // The process id the running copy published; nothing when none is published.
    static std::optional<std::uint32_t> HolderProcess();

    // The running copy's top-level window of class `className`, waiting up to `milliseconds` for
    // it: a copy in its first second holds the mutex before it has made its window. With
    // `holderOnly`, only a window of the process HolderProcess names counts. Null when none came.
    static HWND WaitForWindow(wchar_t const* className, bool holderOnly, DWORD milliseconds);

private:
    // Opens or creates the mutex.
    InstanceClaim TryClaim();

    UniqueKernelHandle mutex_;
    UniqueKernelHandle ending_;
    UniqueKernelHandle holder_;  // the published process id
    InstanceClaim claim_ = InstanceClaim::First;
};

}  // namespace vigilon
