#pragma once

#include <windows.h>

#include "platform/win32/win32_owners.h"

namespace vigilon {

// Holds the named mutex that marks a running copy of the program for the user's session.
class SingleInstance {
public:
    SingleInstance() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\Vigilon.SingleInstance")) {
        alreadyRunning_ = GetLastError() == ERROR_ALREADY_EXISTS;
    }

    bool AlreadyRunning() const { return alreadyRunning_; }

private:
    UniqueKernelHandle mutex_;
    bool alreadyRunning_ = false;
};

}  // namespace vigilon
