#include "engine/watch_engine.h"

namespace vigilon {

WatchEngine::AskedScreenshot WatchEngine::AskScreenshot(std::wstring_view name) {
    int const number = programs_.FindByName(name);
    if (number == 0) return {};
    std::wstring const program = programs_[number].name;
    if (Windowless(programs_[number].rules)) return {AskedScreenshot::Kind::NoWindow};
    WindowHandle const window = supervisor_.StateOf(program).window.handle;
    // A window gone since the last pass is not there to be taken.
    if (window == 0 || platform_.desktop.WindowProcessId(window) == 0) return {AskedScreenshot::Kind::NotTaken};
    // Not known to be hung: the capture itself falls back to the screen's pixels for a window
    // that does not draw at once.
    std::uint32_t const id = screenshots_.Begin(window, program, L"asked", false);
    if (id == 0) return {AskedScreenshot::Kind::NotTaken};
    asked_.push_back({id, program});
    return {AskedScreenshot::Kind::Begun, id};
}

std::vector<WatchEngine::SettledScreenshot> WatchEngine::SettledScreenshots() {
    std::vector<SettledScreenshot> settled;
    std::erase_if(asked_, [&](Asked const& asked) {
        std::optional<std::wstring> path = screenshots_.Take(asked.id);
        if (!path) return false;
        if (!path->empty()) Log(L"screenshot", asked.program, *path);
        settled.push_back({asked.id, asked.program, std::move(*path)});
        return true;
    });
    return settled;
}

}  // namespace vigilon
