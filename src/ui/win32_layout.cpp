#include "ui/win32_layout.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/dpi.h"
#include "support/image_scale.h"
#include "ui/dialog_controls.h"
#include "ui/res/resource_ids.h"

namespace vigilon {
namespace {

struct WindowKind {
    wchar_t const* className;
    DWORD style;
    DWORD exStyle;
};

WindowKind KindOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Picture: return {L"STATIC", SS_BITMAP | SS_CENTERIMAGE, 0};
    case ControlKind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::KeyLabel: return {L"STATIC", SS_LEFT, 0};
    case ControlKind::ListBox:
        return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::DefaultButton: return {L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::TextBox: return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::NumberBox: return {L"EDIT", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::DropDown: return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::Tabs: return {WC_TABCONTROLW, WS_TABSTOP, 0};
    case ControlKind::ListView:
        return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    case ControlKind::Frame: break;
    }
    return {L"STATIC", 0, 0};
}

constexpr float kSmallestFittedPoints = 8.0f;

// A drop-down's window is as tall as its box and its open list together: room for some ten entries.
constexpr int kDropDownListTwips = 2700;

// The artwork stands on a background of this colour (RGB 192, 192, 192), which runs to its edges.
constexpr BYTE kLogoBackground = 192;

// Paints the background of a 24-bit bitmap in `colour`: the pixels of the background colour that
// connect to its border. The artwork's own grey inside the picture is left alone.
void FillBackground(BITMAP const& bitmap, COLORREF colour) {
    if (colour == RGB(kLogoBackground, kLogoBackground, kLogoBackground)) return;  // nothing to paint
    int const width = bitmap.bmWidth;
    int const height = bitmap.bmHeight < 0 ? -bitmap.bmHeight : bitmap.bmHeight;
    auto* const bits = static_cast<BYTE*>(bitmap.bmBits);
    auto pixel = [&](int x, int y) { return bits + static_cast<std::ptrdiff_t>(y) * bitmap.bmWidthBytes + x * 3; };
    auto isBackground = [&](int x, int y) {
        BYTE const* p = pixel(x, y);
        return p[0] == kLogoBackground && p[1] == kLogoBackground && p[2] == kLogoBackground;
    };
    std::vector<POINT> pending;
    for (int x = 0; x < width; ++x) pending.insert(pending.end(), {{x, 0}, {x, height - 1}});
    for (int y = 0; y < height; ++y) pending.insert(pending.end(), {{0, y}, {width - 1, y}});
    while (!pending.empty()) {
        POINT const at = pending.back();
        pending.pop_back();
        if (at.x < 0 || at.y < 0 || at.x >= width || at.y >= height || !isBackground(at.x, at.y)) continue;
        BYTE* const p = pixel(at.x, at.y);
        p[0] = GetBValue(colour);
        p[1] = GetGValue(colour);
        p[2] = GetRValue(colour);
        pending.insert(pending.end(), {{at.x + 1, at.y}, {at.x - 1, at.y}, {at.x, at.y + 1}, {at.x, at.y - 1}});
    }
}

// The pixels of a 24-bit DIB section, whose rows are padded to four bytes and may run from the bottom.
Picture PictureOf(BITMAP const& bitmap) {
    Picture picture{bitmap.bmWidth, std::abs(bitmap.bmHeight), {}};
    auto const rowBytes = static_cast<std::size_t>(picture.width) * 3;
    picture.pixels.resize(rowBytes * static_cast<std::size_t>(picture.height));
    auto const* const bits = static_cast<BYTE const*>(bitmap.bmBits);
    for (int y = 0; y < picture.height; ++y) {
        int const row = bitmap.bmHeight > 0 ? picture.height - 1 - y : y;
        std::copy_n(bits + static_cast<std::ptrdiff_t>(row) * bitmap.bmWidthBytes, rowBytes,
                    picture.pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y)));
    }
    return picture;
}

// A 24-bit DIB section, top row first, holding `picture`.
HBITMAP BitmapOf(Picture const& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP const bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    auto const rowBytes = static_cast<std::size_t>(picture.width) * 3;
    std::size_t const stride = (rowBytes + 3) & ~std::size_t{3};
    for (int y = 0; y < picture.height; ++y) {
        std::copy_n(picture.pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y)),
                    rowBytes, static_cast<BYTE*>(bits) + stride * static_cast<std::size_t>(y));
    }
    GdiFlush();
    return bitmap;
}

}  // namespace

HFONT CreateDialogFont(UINT dpi) { return CreatePointFont(kDialogFontFace, kDialogFontPoints, false, dpi); }

RECT ScaledBounds(ControlPlacement const& placement, UINT dpi) {
    int const left = TwipsToPixels(placement.left, dpi);
    int const top = TwipsToPixels(placement.top, dpi);
    int const height = placement.height + (placement.kind == ControlKind::DropDown ? kDropDownListTwips : 0);
    return {left, top, left + TwipsToPixels(placement.width, dpi), top + TwipsToPixels(height, dpi)};
}

HWND CreateLayoutControl(HWND parent, ControlPlacement const& placement, UINT dpi, HINSTANCE instance) {
    WindowKind const kind = KindOf(placement.kind);
    RECT const r = ScaledBounds(placement, dpi);
    // WS_CLIPSIBLINGS: see SendLabelsToBack.
    return CreateWindowExW(kind.exStyle, kind.className, placement.text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style,
                           r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(placement.id)), instance, nullptr);
}

void SendLabelToBack(HWND label) {
    SetWindowPos(label, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HFONT CreateFittingFont(HWND label, wchar_t const* face, float points, bool bold, UINT dpi) {
    RECT client{};
    GetClientRect(label, &client);
    std::wstring const text = WindowText(label);
    HDC const dc = GetDC(label);
    HFONT font = nullptr;
    for (float size = points;; size -= 0.5f) {
        font = CreatePointFont(face, size, bold, dpi);
        RECT needed{0, 0, client.right, 0};
        HGDIOBJ const previous = SelectObject(dc, font);
        DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, previous);
        if (needed.bottom <= client.bottom || size <= kSmallestFittedPoints) break;
        DeleteObject(font);
    }
    ReleaseDC(label, dc);
    return font;
}

HWND CreateTooltips(HWND owner, HINSTANCE instance) {
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
}

void AddTooltip(HWND tooltips, HWND owner, HWND control, wchar_t const* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HBITMAP LoadLogo(HINSTANCE instance, UINT dpi) {
    // LR_LOADMAP3DCOLORS maps only bitmaps with a colour table, and the logo is 24-bit: its
    // background is painted in the face colour here, in the bitmap's own pixels.
    auto const logo = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    DIBSECTION dib{};
    if (logo == nullptr || GetObjectW(logo, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBitsPixel != 24 ||
        dib.dsBm.bmBits == nullptr) {
        return logo;
    }
    FillBackground(dib.dsBm, GetSysColor(COLOR_BTNFACE));
    GdiFlush();
    int const scale = static_cast<int>(dpi);
    if (scale == kDefaultDpi) return logo;
    // Scaled after the background is painted, so that the smoothed edges blend into the face colour.
    Picture const picture = ScaleSmoothly(PictureOf(dib.dsBm), MulDiv(dib.dsBm.bmWidth, scale, kDefaultDpi),
                                          MulDiv(std::abs(dib.dsBm.bmHeight), scale, kDefaultDpi));
    HBITMAP const scaled = BitmapOf(picture);
    if (scaled == nullptr) return logo;  // the logo at its own size rather than none
    DeleteObject(logo);
    return scaled;
}

}  // namespace vigilon
