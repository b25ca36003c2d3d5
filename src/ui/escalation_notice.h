#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/win32/base_window.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {

// The notice before Vigilon logs off, restarts or shuts down: a window on top of every other (a
// kiosk's windows are topmost too) with the countdown's text and Cancel. It only shows what the
// engine decides; Cancel calls back, and nothing here waits.
class EscalationNoticeWindow final : public BaseWindow<EscalationNoticeWindow> {
public:
    static constexpr wchar_t kClassName[] = L"VigilonEscalationNotice";

    EscalationNoticeWindow(HINSTANCE instance, std::function<void()> onCancel)
        : instance_(instance), onCancel_(std::move(onCancel)) {}
    ~EscalationNoticeWindow();
    void SetInstance(HINSTANCE instance) { instance_ = instance; }

    // Shows `text`, the window made on first use and put above every topmost window again at each
    // call (a kiosk window Vigilon raises may have come above it); closes it when there is none.
    void Show(std::optional<std::wstring> const& text);
    bool Open() const { return window_ != nullptr; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Create();
    void Layout();

    HINSTANCE instance_;
    std::function<void()> onCancel_;
    std::wstring shown_;
    HWND text_ = nullptr;
    HWND cancel_ = nullptr;
    UniqueFont font_;
};

}  // namespace vigilon
