#pragma once

#include <windows.h>

namespace vigilon {

// The dots per inch at 100%, for which pictures are drawn.
inline constexpr int kDefaultDpi = 96;

// The dots per inch of the monitor the window is on (96 at 100%).
UINT WindowDpi(HWND window);

// Layouts are kept in twips, 1/1440 inch: 15 twips per pixel at 96 dots per inch.
inline int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

// Widens a client rectangle to the window rectangle with its frame at `dpi`: with
// AdjustWindowRectExForDpi from Windows 10 1607 on, so that the frame fits the monitor's DPI rather
// than the system's; before that with AdjustWindowRectEx.
void AdjustFrameForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi);

// Moves and sizes `window` to the rectangle WM_DPICHANGED suggests, in its lParam.
void MoveToSuggestedRect(HWND window, LPARAM suggestedRect);

// The dots per inch of the primary monitor, where the taskbar's notification area is.
UINT SystemDpi();

// The size, in pixels, Windows draws a small (title bar, tray) or a large icon at `dpi`.
int IconSize(bool smallIcon, UINT dpi);

// The icon resource `id` at the size Windows draws it at `dpi`, taken from the image of that size
// in the icon (or scaled down from a larger one); null when it cannot be loaded.
HICON LoadIconForDpi(HINSTANCE instance, int id, bool smallIcon, UINT dpi);

// A font of `points` size at `dpi`.
HFONT CreatePointFont(wchar_t const* face, float points, bool bold, UINT dpi);

}  // namespace vigilon
