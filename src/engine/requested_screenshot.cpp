#include "engine/watch_engine.h"

namespace vigilon {

std::optional<std::wstring> WatchEngine::TakeScreenshot(std::wstring_view name) {
    int const number = programs_.FindByName(name);
    if (number == 0) return std::nullopt;
    WindowHandle const window = supervisor_.StateOf(programs_[number].name).window;
    // A window gone since the last pass is not there to be taken.
    if (window == 0 || platform_.desktop.WindowProcessId(window) == 0) return std::wstring();
    // Not known to be hung: the capture itself falls back to the screen's pixels for a window
    // that does not answer at once.
    std::wstring const path = screenshots_.Take(window, programs_[number].name, L"asked", false);
    if (!path.empty()) Log(L"screenshot", programs_[number].name, path);
    return path;
}

}  // namespace vigilon
