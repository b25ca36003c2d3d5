#include "platform/win32/dpi.h"

#include <cmath>

namespace vigilon {

UINT WindowDpi(HWND window) {
    // GetDpiForWindow exists from Windows 10 1607 on; before that the system value applies.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static auto const getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        UINT const dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    HDC const screen = GetDC(nullptr);
    int const dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void AdjustFrameForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static auto const adjustForDpi = reinterpret_cast<AdjustForDpiFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (adjustForDpi == nullptr || adjustForDpi(&rect, style, menu, exStyle, dpi) == FALSE) {
        AdjustWindowRectEx(&rect, style, menu, exStyle);
    }
}

void MoveToSuggestedRect(HWND window, LPARAM suggestedRect) {
    auto const& r = *reinterpret_cast<RECT const*>(suggestedRect);
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT CreatePointFont(wchar_t const* face, float points, bool bold, UINT dpi) {
    int const height = -static_cast<int>(std::lround(points * static_cast<float>(dpi) / 72.0f));
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                       face);
}

}  // namespace vigilon
