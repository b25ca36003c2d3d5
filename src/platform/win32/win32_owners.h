#pragma once

#include <windows.h>

#include <utility>

namespace vigilon {

// Owns one system handle and releases it when the owner goes away. Not copyable; movable.
// `kEmpty` is the value that stands for no handle (INVALID_SOCKET for a socket).
template <class Handle, class Release, Handle kEmpty = Handle{}>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(Owned const&) = delete;
    Owned& operator=(Owned const&) = delete;
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, kEmpty)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, kEmpty));
        return *this;
    }
    ~Owned() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != kEmpty; }
    // For functions that hand back a new handle through a pointer: releases the current one first.
    Handle* Receive() {
        Reset();
        return &handle_;
    }
    void Reset(Handle handle = kEmpty) {
        if (handle_ != kEmpty) Release{}(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = kEmpty;
};

// The release that is one call of a system function on the handle: ReleaseWith<CloseHandle>.
template <auto Function>
struct ReleaseWith {
    template <class Handle>
    void operator()(Handle handle) const { Function(handle); }
};
struct UnregisterWaitRelease {
    void operator()(HANDLE wait) const { UnregisterWaitEx(wait, INVALID_HANDLE_VALUE); }
};
struct ReleaseScreenDcRelease {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};

using UniqueIcon = Owned<HICON, ReleaseWith<DestroyIcon>>;
using UniqueWindow = Owned<HWND, ReleaseWith<DestroyWindow>>;
using UniqueBitmap = Owned<HBITMAP, ReleaseWith<DeleteObject>>;
using UniqueBrush = Owned<HBRUSH, ReleaseWith<DeleteObject>>;
using UniquePen = Owned<HPEN, ReleaseWith<DeleteObject>>;
using UniqueMenu = Owned<HMENU, ReleaseWith<DestroyMenu>>;
using UniqueFont = Owned<HFONT, ReleaseWith<DeleteObject>>;
using UniqueKernelHandle = Owned<HANDLE, ReleaseWith<CloseHandle>>;
using UniqueRegistryKey = Owned<HKEY, ReleaseWith<RegCloseKey>>;
using UniqueSearch = Owned<HANDLE, ReleaseWith<FindClose>>;  // from FindFirstFileExW; never INVALID_HANDLE_VALUE
using UniqueMemoryDc = Owned<HDC, ReleaseWith<DeleteDC>>;    // from CreateCompatibleDC
using UniqueScreenDc = Owned<HDC, ReleaseScreenDcRelease>;   // from GetDC(nullptr)
// From RegisterWaitForSingleObject; released once a callback under way has finished.
using UniqueWait = Owned<HANDLE, UnregisterWaitRelease>;
using UniqueModule = Owned<HMODULE, ReleaseWith<FreeLibrary>>;
template <class Pointer>
using UniqueLocal = Owned<Pointer, ReleaseWith<LocalFree>>;  // memory the system made with LocalAlloc

// CreateFile reports failure with INVALID_HANDLE_VALUE rather than null: either is empty here.
inline UniqueKernelHandle OwnFileHandle(HANDLE file) {
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}
using UniqueWinEventHook = Owned<HWINEVENTHOOK, ReleaseWith<UnhookWinEvent>>;

// COM on this thread while the owner lives, in the apartment `model` (COINIT_...) names.
class ComScope {
public:
    explicit ComScope(DWORD model) : started_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
    ComScope(ComScope const&) = delete;
    ComScope& operator=(ComScope const&) = delete;
    ~ComScope() {
        if (started_) CoUninitialize();
    }

private:
    bool started_;
};

// Selects an object into a device context and selects the previous one back at the end.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ScopedSelect(ScopedSelect const&) = delete;
    ScopedSelect& operator=(ScopedSelect const&) = delete;
    ~ScopedSelect() { SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace vigilon
