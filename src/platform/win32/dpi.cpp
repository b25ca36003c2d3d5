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

UINT SystemDpi() {
    // GetDpiForSystem exists from Windows 10 1607 on; before that the screen's value is the same.
    using GetDpiForSystemFunction = UINT(WINAPI*)();
    static auto const getDpiForSystem = reinterpret_cast<GetDpiForSystemFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem")));
    if (getDpiForSystem != nullptr) return getDpiForSystem();
    HDC const screen = GetDC(nullptr);
    int const dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

int IconSize(bool smallIcon, UINT dpi) {
    using MetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static auto const metricsForDpi = reinterpret_cast<MetricsForDpiFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
    int const index = smallIcon ? SM_CXSMICON : SM_CXICON;
    if (metricsForDpi != nullptr) {
        int const size = metricsForDpi(index, dpi);
        if (size > 0) return size;
    }
    return MulDiv(smallIcon ? 16 : 32, static_cast<int>(dpi), kDefaultDpi);
}

HICON LoadIconForDpi(HINSTANCE instance, int id, bool smallIcon, UINT dpi) {
    int const size = IconSize(smallIcon, dpi);
    // The common controls 6 (the manifest asks for them) have it: the icon's own image of that
    // size, or a larger one scaled down smoothly. LoadImage picks the nearest and stretches it.
    using LoadIconWithScaleDownFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    HMODULE const controls = GetModuleHandleW(L"comctl32.dll");
    auto const loadScaled = controls == nullptr ? nullptr : reinterpret_cast<LoadIconWithScaleDownFunction>(
        reinterpret_cast<void*>(GetProcAddress(controls, "LoadIconWithScaleDown")));
    HICON icon = nullptr;
    if (loadScaled != nullptr && SUCCEEDED(loadScaled(instance, MAKEINTRESOURCEW(id), size, size, &icon))) return icon;
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

HFONT CreatePointFont(wchar_t const* face, float points, bool bold, UINT dpi) {
    int const height = -static_cast<int>(std::lround(points * static_cast<float>(dpi) / 72.0f));
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                       face);
}

}  // namespace vigilon
