#pragma once

#include <windows.h>

namespace vigilon {

// Registers the window class `name` once in the process (a class registered already is taken as
// it is), with the arrow cursor and the background and icons given. False when it cannot be.
inline bool RegisterWindowClass(HINSTANCE instance, wchar_t const* name, WNDPROC procedure, HBRUSH background = nullptr,
                                HICON icon = nullptr, HICON smallIcon = nullptr) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (GetClassInfoExW(instance, name, &windowClass)) return true;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0;
}

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
