#include "ui/single_instance.h"

namespace vigilon {
namespace {

wchar_t const kMutexName[] = L"Local\\Vigilon.SingleInstance";
wchar_t const kEndingName[] = L"Local\\Vigilon.Ending";
wchar_t const kHolderName[] = L"Local\\Vigilon.Holder";
// Longer than Windows takes to end a copy, with its windows, tray icon and the watched programs
// shown again; short enough that a start never seems lost.
ULONGLONG const kEndingWaitMilliseconds = 10'000;
DWORD const kRetryMilliseconds = 100;

bool Signalled(HANDLE event) { return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

}  // namespace

SingleInstance::SingleInstance() {
    ULONGLONG const deadline = GetTickCount64() + kEndingWaitMilliseconds;
    for (;;) {
        claim_ = TryClaim();
        if (claim_ == InstanceClaim::First) break;
        UniqueKernelHandle const ending(OpenEventW(SYNCHRONIZE, FALSE, kEndingName));
        if (claim_ == InstanceClaim::Refused || !Signalled(ending.Get()) || GetTickCount64() >= deadline) return;
        mutex_.Reset();  // the copy that is ending must not find ours when it looks
        Sleep(kRetryMilliseconds);
    }
    // The first copy: a manual-reset event, cleared, that Ending sets.
    ending_.Reset(CreateEventW(nullptr, TRUE, FALSE, kEndingName));
    if (ending_) ResetEvent(ending_.Get());
    // This copy's process id, for a script to check the answering window against. Written even
    // into a mapping that is there already: a script, or a copy that ended, may still hold the
    // old one open, and this copy holds the mutex.
    holder_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD), kHolderName));
    if (holder_) {
        if (void* const view = MapViewOfFile(holder_.Get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD))) {
            *static_cast<DWORD*>(view) = GetCurrentProcessId();
            UnmapViewOfFile(view);
        }
    }
}

InstanceClaim SingleInstance::TryClaim() {
    HANDLE const mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    // Read at once: a handle that came back with ERROR_ALREADY_EXISTS is another copy's mutex, and
    // no handle at all (access denied: made elevated or by another account) is one too.
    DWORD const error = GetLastError();
    mutex_.Reset(mutex);
    return ClaimFromMutex(mutex != nullptr, error);
}

bool SingleInstance::Running() {
    UniqueKernelHandle const mutex(OpenMutexW(SYNCHRONIZE, FALSE, kMutexName));
    return static_cast<bool>(mutex) || GetLastError() == ERROR_ACCESS_DENIED;
}

std::optional<std::uint32_t> SingleInstance::HolderProcess() {
    UniqueKernelHandle const mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, kHolderName));
    if (!mapping) return std::nullopt;
    void const* const view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(DWORD));
    if (view == nullptr) return std::nullopt;
    DWORD const process = *static_cast<DWORD const*>(view);
    UnmapViewOfFile(view);
    if (process == 0) return std::nullopt;
    return process;
}

HWND SingleInstance::WaitForWindow(wchar_t const* className, bool holderOnly, DWORD milliseconds) {
    ULONGLONG const deadline = GetTickCount64() + milliseconds;
    for (;;) {
        std::optional<std::uint32_t> const holder = holderOnly ? HolderProcess() : std::nullopt;
        for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window != nullptr;
             window = FindWindowExW(nullptr, window, className, nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (!holderOnly || (holder && process == *holder)) return window;
        }
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(kRetryMilliseconds);
    }
}

void SingleInstance::Ending() const {
    if (ending_) SetEvent(ending_.Get());
}

}  // namespace vigilon
