#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/window_handle.h"

namespace vigilon {

// Window handles carry 32 significant bits on every Windows; 64-bit code sign-extends them.
inline WindowHandle FromHwnd(HWND window) {
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

inline HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}

}  // namespace vigilon
