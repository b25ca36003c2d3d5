#include "fakes/fake_desktop.h"

#include <algorithm>

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
    ++changes;
    std::erase_if(windows_, [&](FakeWindow const& w) { return w.handle == window; });
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
    FakeWindow* w = Find(window);
    if (w == nullptr) return;
    ++changes;
    switch (showCommand) {
    case kSwHide: w->visible = false; break;
    case kSwShowNormal:
        w->visible = true;
        w->minimised = false;
        break;
    case kSwMinimize:
        w->visible = true;
        w->minimised = true;
        break;
    default: break;
    }
}

std::uint32_t FakeDesktop::WindowProcessId(WindowHandle window) {
    FakeWindow const* w = Find(window);
    return w == nullptr ? 0 : w->processId;
}

bool FakeDesktop::ActivateProcess(std::uint32_t processId) {
    activatedProcesses.push_back(processId);
    return std::any_of(windows_.begin(), windows_.end(),
                       [&](FakeWindow const& w) { return w.processId == processId && w.visible; });
}

void FakeDesktop::RequestClose(WindowHandle window) {
    closeRequests.push_back(window);
    if (std::find(refuseClose.begin(), refuseClose.end(), window) == refuseClose.end()) Remove(window);
}

}  // namespace vigilon::testing
