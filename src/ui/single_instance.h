#pragma once

#include <windows.h>

#include "platform/win32/win32_owners.h"

namespace vigilon {

// Marks the running copy of the program for the user's session with a named mutex. A copy that is
// ending says so with a named event: Windows may take a few seconds to tear its windows down, and a
// start meanwhile waits for it to be gone instead of taking it for a copy that goes on running.
class SingleInstance {
public:
    SingleInstance();
    SingleInstance(SingleInstance const&) = delete;
    SingleInstance& operator=(SingleInstance const&) = delete;

    // True when another copy runs and is not ending.
    bool AlreadyRunning() const { return alreadyRunning_; }

    // This copy has begun to end: a new start need not give way to it.
    void Ending() const;

    // True when a copy of the program runs in this session; takes no part in the check itself.
    static bool Running();

private:
    // Opens or creates the mutex; true when another copy made it first.
    bool Claim();

    UniqueKernelHandle mutex_;
    UniqueKernelHandle ending_;
    bool alreadyRunning_ = false;
};

}  // namespace vigilon
