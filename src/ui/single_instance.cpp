#include "ui/single_instance.h"

namespace vigilon {
namespace {

wchar_t const kMutexName[] = L"Local\\Vigilon.SingleInstance";
wchar_t const kEndingName[] = L"Local\\Vigilon.Ending";
// Longer than Windows takes to end a copy, with its windows, tray icon and the watched programs
// shown again; short enough that a start never seems lost.
ULONGLONG const kEndingWaitMilliseconds = 10'000;
DWORD const kRetryMilliseconds = 100;

bool Signalled(HANDLE event) { return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

}  // namespace

SingleInstance::SingleInstance() {
    ULONGLONG const deadline = GetTickCount64() + kEndingWaitMilliseconds;
    while (Claim()) {
        UniqueKernelHandle const ending(OpenEventW(SYNCHRONIZE, FALSE, kEndingName));
        if (!Signalled(ending.Get()) || GetTickCount64() >= deadline) {
            alreadyRunning_ = true;
            return;
        }
        mutex_.Reset();  // the copy that is ending must not find ours when it looks
        Sleep(kRetryMilliseconds);
    }
    // The first copy: a manual-reset event, cleared, that Ending sets.
    ending_.Reset(CreateEventW(nullptr, TRUE, FALSE, kEndingName));
    if (ending_) ResetEvent(ending_.Get());
}

bool SingleInstance::Claim() {
    mutex_.Reset(CreateMutexW(nullptr, FALSE, kMutexName));
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

bool SingleInstance::Running() {
    UniqueKernelHandle const mutex(OpenMutexW(SYNCHRONIZE, FALSE, kMutexName));
    return static_cast<bool>(mutex);
}

void SingleInstance::Ending() const {
    if (ending_) SetEvent(ending_.Get());
}

}  // namespace vigilon
