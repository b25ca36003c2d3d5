#pragma once

#include <windows.h>

#include <utility>

namespace vigilon {

// Owns one system handle and releases it when the owner goes away. Not copyable; movable.
template <class Handle, class Release>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(Owned const&) = delete;
    Owned& operator=(Owned const&) = delete;
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, Handle{}));
        return *this;
    }
    ~Owned() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    void Reset(Handle handle = Handle{}) {
        if (handle_ != Handle{}) Release{}(handle_);
        handle_ = handle;
    }

private:
    Handle handle_{};
};

struct DestroyIconRelease {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct DestroyMenuRelease {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct DeleteGdiObjectRelease {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct CloseHandleRelease {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

using UniqueIcon = Owned<HICON, DestroyIconRelease>;
using UniqueMenu = Owned<HMENU, DestroyMenuRelease>;
using UniqueFont = Owned<HFONT, DeleteGdiObjectRelease>;
using UniqueKernelHandle = Owned<HANDLE, CloseHandleRelease>;

}  // namespace vigilon
