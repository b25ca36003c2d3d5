#include "ui/escalation_notice.h"

#include "platform/win32/dpi.h"
#include "support/application_title.h"
#include "ui/win32_layout.h"

namespace vigilon {
namespace {

constexpr int kWidth = 520;  // pixels at 96 DPI
constexpr int kHeight = 170;
constexpr int kMargin = 16;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 30;

int Scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

}  // namespace

EscalationNoticeWindow::~EscalationNoticeWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
}

void EscalationNoticeWindow::Show(std::optional<std::wstring> const& text) {
    if (!text) {
        if (window_ != nullptr) DestroyWindow(window_);
        shown_.clear();
        return;
    }
    if (window_ == nullptr) Create();
    if (window_ == nullptr) return;
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (*text == shown_) return;
    shown_ = *text;
    SetWindowTextW(text_, shown_.c_str());
}

void EscalationNoticeWindow::Create() {
    if (!RegisterWindowClass(instance_, kClassName, WindowProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return;
    UINT const dpi = SystemDpi();
    int const width = Scaled(kWidth, dpi);
    int const height = Scaled(kHeight, dpi);
    // In the middle of the primary display, above every window, never taking the focus from a kiosk
    // program by itself: a person who wants to cancel clicks it.
    int const left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int const top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    // A tool window: no button on a kiosk's taskbar.
    CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kClassName, kApplicationTitle, WS_POPUP | WS_CAPTION | WS_BORDER,
                    left, top, width, height, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) return;
    font_.Reset(CreateDialogFont(dpi));
    HFONT const font = font_.Get() != nullptr ? font_.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    text_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0, window_, nullptr, instance_, nullptr);
    cancel_ = CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
                              window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instance_, nullptr);
    SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(cancel_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Layout();
    ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void EscalationNoticeWindow::Layout() {
    RECT client{};
    GetClientRect(window_, &client);
    UINT const dpi = SystemDpi();
    int const margin = Scaled(kMargin, dpi);
    int const buttonWidth = Scaled(kButtonWidth, dpi);
    int const buttonHeight = Scaled(kButtonHeight, dpi);
    MoveWindow(text_, margin, margin, client.right - 2 * margin, client.bottom - 3 * margin - buttonHeight, FALSE);
    MoveWindow(cancel_, client.right - margin - buttonWidth, client.bottom - margin - buttonHeight, buttonWidth,
               buttonHeight, FALSE);
}

LRESULT EscalationNoticeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL && onCancel_) onCancel_();  // the engine's next look closes the window
        return 0;
    case WM_CLOSE: return 0;  // only Cancel, or the countdown's end, closes it
    case WM_DESTROY:
        text_ = nullptr;
        cancel_ = nullptr;
        return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace vigilon
