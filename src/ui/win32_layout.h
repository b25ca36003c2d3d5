#pragma once

#include <windows.h>

#include "ui/layout_table.h"

namespace vigilon {

// The font of Vigilon's windows and dialogs.
inline constexpr wchar_t kDialogFontFace[] = L"MS Sans Serif";
inline constexpr float kDialogFontPoints = 8.25f;
HFONT CreateDialogFont(UINT dpi);

// A control's place in pixels at `dpi`.
RECT ScaledBounds(ControlPlacement const& placement, UINT dpi);

// Creates the control a layout entry describes (not the framed panel) inside `parent`.
HWND CreateLayoutControl(HWND parent, ControlPlacement const& placement, UINT dpi, HINSTANCE instance);

// Some labels of the stored layouts reach a few pixels into the control below them. Controls clip
// their siblings, and labels go to the bottom of the stacking order once every control exists, so a
// label never paints over its neighbour. Labels take no focus, so keyboard order is unchanged.
void SendLabelToBack(HWND label);

// The font of `face` at `points`, made smaller in half-point steps (to 8 points at least) until the
// label's text fits its height: a system without the font may substitute a wider one.
HFONT CreateFittingFont(HWND label, wchar_t const* face, float points, bool bold, UINT dpi);

// A tooltip window for the controls of `owner`; add tips with AddTooltip.
HWND CreateTooltips(HWND owner, HINSTANCE instance);
void AddTooltip(HWND tooltips, HWND owner, HWND control, wchar_t const* text);

// The program's logo, its background painted in the button-face colour, drawn at its size at `dpi`.
HBITMAP LoadLogo(HINSTANCE instance, UINT dpi);

}  // namespace vigilon
