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

// A FILETIME in one number, of 100 ns units.
inline std::uint64_t TicksOf(FILETIME const& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// When `process` started, as a FILETIME in one number; 0 when it cannot be read.
inline std::uint64_t StartTimeOf(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    return GetProcessTimes(process, &created, &exited, &kernel, &user) ? TicksOf(created) : 0;
}

}  // namespace vigilon
