#pragma once

#include <windows.h>

namespace vigilon {

// The dots per inch of the monitor the window is on (96 at 100%).
UINT WindowDpi(HWND window);

// Layouts are kept in twips, 1/1440 inch: 15 twips per pixel at 96 dots per inch.
inline int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

// A font of `points` size at `dpi`.
HFONT CreatePointFont(wchar_t const* face, float points, bool bold, UINT dpi);

}  // namespace vigilon
