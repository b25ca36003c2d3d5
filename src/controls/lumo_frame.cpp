#include "controls/lumo_frame.h"

#include <algorithm>

#include "platform/win32/dpi.h"

namespace vigilon {
namespace {

constexpr int kLabelLeft = 8;

}  // namespace

bool LumoFrame::Create(HWND parent, int id, RECT const& bounds, HINSTANCE instance) {
    if (!RegisterWindowClass(instance, kClassName, WindowProc)) return false;
    dpi_ = WindowDpi(parent);
    // WS_EX_CONTROLPARENT lets keyboard navigation enter the panel's children; WS_CLIPCHILDREN
    // keeps the border from being drawn over the caption.
    HWND const window = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                        bounds.left, bounds.top, bounds.right - bounds.left,
                                        bounds.bottom - bounds.top, parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (window == nullptr) return false;
    label_ = CreateWindowExW(0, L"STATIC", L"Frame1", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS,
                             kLabelLeft, 0, 0, 0, window_, nullptr, instance, nullptr);
    backColour_ = GetSysColor(COLOR_BTNFACE);
    backBrush_.Reset(CreateSolidBrush(backColour_));
    FitLabel();
    model_.emplace(*this);
    return true;
}

int LumoFrame::LabelHeight() const {
    RECT r{};
    GetWindowRect(label_, &r);
    return r.bottom - r.top;
}

void LumoFrame::FitLabel() {
    wchar_t text[512] = L"";
    GetWindowTextW(label_, text, 512);
    HDC const dc = GetDC(label_);
    HFONT const font = reinterpret_cast<HFONT>(SendMessageW(label_, WM_GETFONT, 0, 0));
    SIZE size{};
    {
        ScopedSelect const select(dc, font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
        GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
        if (size.cy == 0) {
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            size.cy = metrics.tmHeight;
        }
    }
    ReleaseDC(label_, dc);
    // A caption longer than the panel ends in an ellipsis inside the border, as far from the right
    // edge as it starts from the left.
    RECT client{};
    GetClientRect(window_, &client);
    int const room = std::max(0, static_cast<int>(client.right) - 2 * kLabelLeft);
    SetWindowPos(label_, nullptr, kLabelLeft, 0, std::min(static_cast<int>(size.cx), room), size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    // Drawn whole at once: nothing of the old caption's picture is kept, and the border it
    // covered is drawn again.
    InvalidateRect(label_, nullptr, TRUE);
    Redraw();
}

void LumoFrame::SetDpi(UINT dpi) {
    dpi_ = dpi;
    if (model_) SetLabelFont(model_->FontName(), model_->FontSize());
}

void LumoFrame::SetLabelText(std::wstring const& text) {
    SetWindowTextW(label_, text.c_str());
    FitLabel();
}

void LumoFrame::SetLabelBackColour(Colour colour) {
    backBrush_.Reset(CreateSolidBrush(colour));
    InvalidateRect(label_, nullptr, TRUE);
}

void LumoFrame::SetLabelFont(std::wstring const& name, float size) {
    if (name.empty() || size <= 0) return;  // keeps the label's default until a font is given
    labelFont_.Reset(CreatePointFont(name.c_str(), size, false, dpi_));
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.Get()), TRUE);
    FitLabel();
}

void LumoFrame::SetLabelVisible(bool visible) { ShowWindow(label_, visible ? SW_SHOW : SW_HIDE); }

void LumoFrame::SetBackColour(Colour colour) { backColour_ = colour; }

void LumoFrame::SetEnabled(bool enabled) { EnableWindow(window_, enabled ? TRUE : FALSE); }

void LumoFrame::Redraw() {
    if (window_ != nullptr) InvalidateRect(window_, nullptr, TRUE);
}

void LumoFrame::DrawBorder(HDC dc, int width, int height) const {
    RECT const all{0, 0, width, height};
    UniqueBrush const back(CreateSolidBrush(backColour_));
    FillRect(dc, &all, back.Get());
    auto const border = model_->Border(LabelHeight(), static_cast<float>(width), static_cast<float>(height));
    if (!border) return;
    UniquePen const pen(CreatePen(PS_SOLID, 1, model_->ForeColour()));
    ScopedSelect const selectPen(dc, pen.Get());
    ScopedSelect const selectBrush(dc, GetStockObject(NULL_BRUSH));  // the outline only
    RoundRect(dc, FrameBorder::kLeft, border->top, border->right, border->bottom, FrameBorder::kCorner,
              FrameBorder::kCorner);
}

void LumoFrame::Paint() {
    PAINTSTRUCT paint;
    HDC const dc = BeginPaint(window_, &paint);
    RECT client{};
    GetClientRect(window_, &client);
    DrawBorder(dc, client.right, client.bottom);
    EndPaint(window_, &paint);
}

LRESULT LumoFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;  // Paint covers every pixel
    case WM_SIZE:
        if (label_ != nullptr) FitLabel();  // the room for the caption changed
        Redraw();
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == label_) {
            SetBkColor(reinterpret_cast<HDC>(wParam), backColour_);
            return reinterpret_cast<LRESULT>(backBrush_.Get());
        }
        return SendMessageW(GetParent(window_), message, wParam, lParam);
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        // The panel only holds the controls; the window around it handles them.
        return SendMessageW(GetParent(window_), message, wParam, lParam);
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace vigilon
