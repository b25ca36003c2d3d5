#include "platform/win32/dpi.h"

#include <cmath>

#include "platform/win32/system_function.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

// A function of user32.dll that older versions of Windows lack; null where it is missing.
template <typename Function>
Function FromUser32(char const* name) {
    return SystemFunction<Function>(GetModuleHandleW(L"user32.dll"), name);
}

// The screen's dots per inch, as systems before the per-monitor functions give them.
UINT ScreenDpi() {
    UniqueScreenDc const screen(GetDC(nullptr));
    int const dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
    // GetDpiForWindow exists from Windows 10 1607 on; before that the system value applies.
    static auto const getDpiForWindow = FromUser32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        UINT const dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    return ScreenDpi();
}

void AdjustFrameForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi) {
    static auto const adjustForDpi =
        FromUser32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
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
    static auto const getDpiForSystem = FromUser32<UINT(WINAPI*)()>("GetDpiForSystem");
    return getDpiForSystem != nullptr ? getDpiForSystem() : ScreenDpi();
}

int IconSize(bool smallIcon, UINT dpi) {
    static auto const metricsForDpi = FromUser32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
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
    auto const loadScaled = SystemFunction<HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*)>(
        GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown");
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
