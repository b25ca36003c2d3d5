#pragma once

#include <windows.h>

namespace vigilon {

// A window class wrapper: the object is kept on its window from WM_NCCREATE on, and messages go to
// Derived::HandleMessage. No exception may cross into the system: one is caught and the message
// gets its default handling.
template <class Derived>
class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(BaseWindow const&) = delete;
    BaseWindow& operator=(BaseWindow const&) = delete;

    HWND Window() const { return window_; }

protected:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            auto const* create = reinterpret_cast<CREATESTRUCTW const*>(lParam);
            self = static_cast<Derived*>(create->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->window_ = window;
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        }
        if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->window_ = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        }
        try {
            return self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
    }

    HWND window_ = nullptr;
};

}  // namespace vigilon
