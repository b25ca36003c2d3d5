#include "engine/hidden_windows.h"

#include <array>
#include <utility>
#include <vector>

#include "support/window_search.h"

namespace vigilon {

void HiddenWindows::ShowUnheld(Holder const& holder, Watched const& watched) {
    for (auto it = windows_.begin(); it != windows_.end();) {
        auto& [window, program] = *it;
        std::wstring const now = holder(window, program);
        if (!now.empty()) {
            program = now;  // another program's now, and hidden as its own
            ++it;
            continue;
        }
        if (!NoLongerHidden(window)) {
            std::array<wchar_t, kCaptionBufferLength> buffer{};
            std::wstring const caption = L"\"" + std::wstring(ReadCaption(desktop_, window, buffer)) + L"\"";
            Show(window, program, kSwShowNa,
                 watched(program) ? caption + L" no longer matches its caption" : caption + L": no longer watched");
        }
        it = windows_.erase(it);
    }
}

void HiddenWindows::ShowAll(std::wstring_view why) {
    for (auto const& [window, program] : std::exchange(windows_, {})) {
        if (!NoLongerHidden(window)) Show(window, program, kSwShowNoActivate, std::wstring(why));
    }
}

bool HiddenWindows::NoLongerHidden(WindowHandle window) {
    return desktop_.WindowProcessId(window) == 0 || desktop_.IsVisible(window);
}

void HiddenWindows::Show(WindowHandle window, std::wstring const& program, std::int32_t showCommand,
                         std::wstring const& why) {
    desktop_.ShowWindowAs(window, showCommand);
    journal_.Log(L"shown", program, why);
}

}  // namespace vigilon
