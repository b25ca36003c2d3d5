#include "platform/win32/win32_desktop.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"

namespace vigilon {
namespace {

using Visitor = std::function<bool(WindowHandle)>;

BOOL CALLBACK VisitWindow(HWND window, LPARAM context) {
    // No exception may cross back into the system's enumeration; one stops the enumeration.
    try {
        return (*reinterpret_cast<Visitor const*>(context))(FromHwnd(window)) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

void Win32Desktop::EnumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) {
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

std::size_t Win32Desktop::ReadWindowCaption(WindowHandle window, std::span<wchar_t> buffer) {
    if (buffer.empty()) return 0;
    int const n = GetWindowTextW(ToHwnd(window), buffer.data(), static_cast<int>(buffer.size()));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace vigilon
