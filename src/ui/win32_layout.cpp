#include "ui/win32_layout.h"

#include <commctrl.h>

#include <string>

#include "ui/dpi.h"
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
    case ControlKind::ListBox:
        return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::DefaultButton: return {L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::TextBox: return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::Frame: break;
    }
    return {L"STATIC", 0, 0};
}

constexpr float kSmallestFittedPoints = 8.0f;

}  // namespace

RECT ScaledBounds(ControlPlacement const& placement, UINT dpi) {
    int const left = TwipsToPixels(placement.left, dpi);
    int const top = TwipsToPixels(placement.top, dpi);
    return {left, top, left + TwipsToPixels(placement.width, dpi), top + TwipsToPixels(placement.height, dpi)};
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
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
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

HBITMAP LoadLogo(HINSTANCE instance) {
    return static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
}

}  // namespace vigilon
