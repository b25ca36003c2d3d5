#include "fakes/fake_desktop.h"

#include "engine/rules/placement.h"

#include <algorithm>
#include <utility>

namespace vigilon::testing {
namespace {

// A show command's effect on a window that takes it.
void ApplyShow(FakeWindow& w, std::int32_t command) {
    switch (command) {
    case kSwHide: w.visible = false; break;
    case kSwShowNormal:
    case kSwShowNoActivate:
    case kSwShowMaximized:
        w.visible = true;
        w.minimised = false;
        w.maximised = command == kSwShowMaximized;
        break;
    case kSwRestore:
        w.visible = true;
        if (!std::exchange(w.minimised, false)) w.maximised = false;
        break;
    case kSwShow:
    case kSwShowNa: w.visible = true; break;
    case kSwMinimize:
        w.visible = true;
        w.minimised = true;
        break;
    default: break;
    }
}

}  // namespace

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

std::size_t FakeDesktop::ReadWindowClass(WindowHandle window, std::span<wchar_t> buffer) {
    ++classReads;
    FakeWindow const* w = Find(window);
    if (w == nullptr || buffer.empty()) return 0;
    std::size_t const n = std::min(w->windowClass.size(), buffer.size() - 1);
    std::copy_n(w->windowClass.begin(), n, buffer.begin());
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
    if (showCommand == kSwHide || showCommand == kSwMinimize) {
        ApplyShow(*w, showCommand);
    } else {
        Later(window, [showCommand](FakeWindow& shown) { ApplyShow(shown, showCommand); });
    }
}

void FakeDesktop::Later(WindowHandle window, std::function<void(FakeWindow&)> change) {
    if (std::find(frozen.begin(), frozen.end(), window) != frozen.end()) return;
    pending_.emplace_back(window, std::move(change));
}

WindowPlacement FakeDesktop::ReadPlacement(WindowHandle window, PlacementParts parts) {
    placementQuestions += 1 + (parts.topmost ? 1 : 0) + (parts.place ? 1 : 0);
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
    placement.topmost = parts.topmost && w->topmost;
    placement.style = w->style;
    if (!parts.place) placement.rect = placement.normal = WindowRect{0, 0, 0, 0};
    return placement;
}

std::uint64_t FakeDesktop::Place(WindowHandle window, PlacementSteps const& steps) {
    for (auto const show : {steps.show, steps.showAfter}) {
        if (!show) continue;
        ++requests;
        if (onRequest) onRequest(window, *show);
    }
    for (bool const other : {steps.style || steps.rect, steps.topmost.has_value()}) {
        if (!other) continue;
        ++requests;
        if (onRequest) onRequest(window, kNotAShow);
    }
    FakeWindow const* asked = Find(window);
    placements.push_back({window, ++lastRequest_, steps, asked == nullptr ? std::wstring() : asked->caption});
    queued_.push_back(placements.back());
    return lastRequest_;
}

void FakeDesktop::CarryOutPlacements() {
    std::vector<WindowHandle> waiting;  // hung windows, whose requests stay queued in order
    std::vector<Asked> left;
    for (Asked& queued : std::exchange(queued_, {})) {
        bool const hung = std::find(frozen.begin(), frozen.end(), queued.window) != frozen.end();
        if (hung || std::find(waiting.begin(), waiting.end(), queued.window) != waiting.end()) {
            waiting.push_back(queued.window);
            left.push_back(std::move(queued));
            continue;
        }
        FakeWindow* const w = Find(queued.window);
        bool const refused = std::find(refusePlacement.begin(), refusePlacement.end(), queued.window) != refusePlacement.end();
        PlacementOutcome outcome{queued.window, queued.request, w != nullptr && !refused, {}};
        if (w == nullptr) outcome.reason = L"the window is gone";
        if (refused) outcome.reason = L"access denied (error 5)";
        if (outcome.done) {
            PlacementSteps const& steps = queued.steps;
            ++changes;
            if (steps.show) ApplyShow(*w, *steps.show);
            if (steps.style) w->style = *steps.style;
            if (steps.rect) w->rect = *steps.rect;
            if (steps.showAfter) ApplyShow(*w, *steps.showAfter);
            if (steps.topmost) w->topmost = *steps.topmost;
        }
        ended.push_back(outcome);
        outcomes_.push_back(std::move(outcome));
    }
    queued_ = std::move(left);
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
    CarryOutPlacements();
}

std::uint32_t FakeDesktop::WindowProcessId(WindowHandle window) {
    ++processQueries;
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
