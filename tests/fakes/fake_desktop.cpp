#include "fakes/fake_desktop.h"

#include "engine/placement.h"

#include <algorithm>
#include <utility>

namespace vigilon::testing {

WindowHandle FakeDesktop::Add(std::wstring caption, bool visible, bool minimised) {
    next_ += 4;
    ++changes;
    windows_.push_back({next_, std::move(caption), visible, minimised, next_ / 4, false});
    return next_;
}

WindowHandle FakeDesktop::AddChild(std::wstring caption) {
    WindowHandle const handle = Add(std::move(caption));
    windows_.back().child = true;
    return handle;
}

void FakeDesktop::Remove(WindowHandle window) {
    if (reports == Reports::Windows) ++changes;
    std::erase_if(windows_, [&](FakeWindow const& w) { return w.handle == window; });
}

void FakeDesktop::Retitle(WindowHandle window, std::wstring caption) {
    FakeWindow* const w = Find(window);
    if (w == nullptr) return;
    w->caption = std::move(caption);
    if (reports == Reports::Windows) ++changes;
}

FakeWindow* FakeDesktop::Find(WindowHandle window) {
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [&](FakeWindow const& w) { return w.handle == window; });
    return it == windows_.end() ? nullptr : &*it;
}

void FakeDesktop::EnumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) {
    ++enumerations;
    std::vector<WindowHandle> topLevel;
    for (FakeWindow const& w : windows_) {
        if (!w.child) topLevel.push_back(w.handle);
    }
    for (WindowHandle handle : topLevel) {
        if (!visit(handle)) return;
    }
}

std::size_t FakeDesktop::ReadWindowCaption(WindowHandle window, std::span<wchar_t> buffer) {
    ++captionReads;
    FakeWindow const* w = Find(window);
    if (w == nullptr || buffer.empty()) return 0;
    std::size_t const n = std::min(w->caption.size(), buffer.size() - 1);
    std::copy_n(w->caption.begin(), n, buffer.begin());
    buffer[n] = L'\0';
    return n;
}

bool FakeDesktop::IsMinimised(WindowHandle window) {
    FakeWindow const* w = Find(window);
    return w != nullptr && w->minimised;
}

bool FakeDesktop::IsVisible(WindowHandle window) {
    FakeWindow const* w = Find(window);
    return w != nullptr && w->visible;
}

void FakeDesktop::ShowWindowAs(WindowHandle window, std::int32_t showCommand) {
    ++requests;
    if (onRequest) onRequest(window, showCommand);
    FakeWindow* w = Find(window);
    if (w == nullptr || std::find(frozen.begin(), frozen.end(), window) != frozen.end()) return;
    ++changes;
    switch (showCommand) {
    case kSwHide: w->visible = false; break;
    case kSwShowNormal:
    case kSwShowNoActivate:
    case kSwShowMaximized:
        Later(window, [showCommand](FakeWindow& shown) {
            shown.visible = true;
            shown.minimised = false;
            shown.maximised = showCommand == kSwShowMaximized;
        });
        break;
    case kSwRestore:
        Later(window, [](FakeWindow& shown) {
            shown.visible = true;
            if (!std::exchange(shown.minimised, false)) shown.maximised = false;
        });
        break;
    case kSwShow:
    case kSwShowNa: Later(window, [](FakeWindow& shown) { shown.visible = true; }); break;
    case kSwMinimize:
        w->visible = true;
        w->minimised = true;
        break;
    default: break;
    }
}

void FakeDesktop::Later(WindowHandle window, std::function<void(FakeWindow&)> change) {
    if (std::find(frozen.begin(), frozen.end(), window) != frozen.end()) return;
    pending_.emplace_back(window, std::move(change));
}

WindowPlacement FakeDesktop::ReadPlacement(WindowHandle window) {
    FakeWindow const* w = Find(window);
    if (w == nullptr) return {};
    WindowPlacement placement;
    placement.read = true;
    placement.visible = w->visible;
    placement.state = w->minimised   ? WindowShowState::Minimised
                      : w->maximised ? WindowShowState::Maximised
                                     : WindowShowState::Normal;
    placement.normal = w->rect;
    placement.rect = w->rect;
    if (placement.state == WindowShowState::Maximised) {
        if (DisplayInfo const* on = DisplayOf(w->rect, displays)) {
            placement.rect = {on->left, on->top, on->width, on->height};
        }
    }
    placement.topmost = w->topmost;
    placement.style = w->style;
    return placement;
}

void FakeDesktop::MoveWindowTo(WindowHandle window, WindowRect const& rect) {
    ++requests;
    if (onRequest) onRequest(window, kNotAShow);
    Later(window, [rect](FakeWindow& moved) { moved.rect = rect; });
}

void FakeDesktop::SetWindowFrame(WindowHandle window, std::uint32_t style, WindowRect const& rect) {
    ++requests;
    if (onRequest) onRequest(window, kNotAShow);
    Later(window, [style, rect](FakeWindow& framed) {
        framed.style = style;
        framed.rect = rect;
    });
}

void FakeDesktop::SetTopmost(WindowHandle window, bool topmost) {
    ++requests;
    if (onRequest) onRequest(window, kNotAShow);
    Later(window, [topmost](FakeWindow& raised) { raised.topmost = topmost; });
}

void FakeDesktop::Raise(WindowHandle window) {
    auto const it = std::find_if(windows_.begin(), windows_.end(), [&](FakeWindow const& w) { return w.handle == window; });
    if (it == windows_.end()) return;
    std::rotate(windows_.begin(), it, it + 1);
    if (reports == Reports::Windows) ++changes;
}

std::vector<WindowHandle> FakeDesktop::TopLevelWindows() const {
    std::vector<WindowHandle> handles;
    for (FakeWindow const& w : windows_) {
        if (!w.child) handles.push_back(w.handle);
    }
    return handles;
}

void FakeDesktop::ApplyPendingShows() {
    for (auto& [window, change] : std::exchange(pending_, {})) {
        if (FakeWindow* const w = Find(window)) change(*w);
    }
}

std::uint32_t FakeDesktop::WindowProcessId(WindowHandle window) {
    FakeWindow const* w = Find(window);
    return w == nullptr ? 0 : w->processId;
}

bool FakeDesktop::ActivateProcess(std::uint32_t processId) {
    // Only a window already shown can come to the front.
    bool const shown = std::any_of(windows_.begin(), windows_.end(),
                                   [&](FakeWindow const& w) { return w.processId == processId && w.visible; });
    if (shown) activatedProcesses.push_back(processId);
    return shown;
}

void FakeDesktop::RequestClose(WindowHandle window) {
    closeRequests.push_back(window);
    if (std::find(refuseClose.begin(), refuseClose.end(), window) == refuseClose.end()) Remove(window);
}

void FakeDesktop::PostClose(WindowHandle window) {
    postedCloses.push_back(window);
    if (onPost) onPost(window);
    bool const refuses = std::find(refuseClose.begin(), refuseClose.end(), window) != refuseClose.end();
    if (closeOnPost && !refuses) Remove(window);
}

}  // namespace vigilon::testing
