#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "engine/supervisor.h"
#include "platform/desktop.h"

namespace vigilon {

// The windows Vigilon hid, each known by its handle with the program it was hidden for, so that
// none is left hidden for good: a window that is no longer any program's (retitled by its
// document, its program's caption changed or the program deleted) is shown again, and every one
// that is still there when Vigilon ends or Close Programs is done. Each showing is a `shown` line
// of the history that says why.
class HiddenWindows {
public:
    HiddenWindows(Desktop& desktop, SupervisionJournal& journal) : desktop_(desktop), journal_(journal) {}

    // Vigilon hid `window`, the window of `program`.
    void Hid(WindowHandle window, std::wstring const& program) { windows_[window] = program; }
    // Vigilon showed it again.
    void Shown(WindowHandle window) { windows_.erase(window); }

    // The program holding a window now, empty for none.
    using Holder = std::function<std::wstring(WindowHandle window, std::wstring const& hiddenFor)>;
    // Whether a program of that name is still listed with a caption.
    using Watched = std::function<bool(std::wstring const& name)>;

    // Shows again, as it was (minimised, most often) and without activating it, each window that
    // no program holds; a window another program holds now stays hidden as that program's.
    void ShowUnheld(Holder const& holder, Watched const& watched);
    // Shows every one that is still there, restored and without activating it, saying `why`.
    void ShowAll(std::wstring_view why);

private:
    // True when the window is gone, or something else showed it: it is forgotten.
    bool NoLongerHidden(WindowHandle window);
    void Show(WindowHandle window, std::wstring const& program, std::int32_t showCommand, std::wstring const& why);

    Desktop& desktop_;
    SupervisionJournal& journal_;
    std::map<WindowHandle, std::wstring> windows_;
};

}  // namespace vigilon
