#include "fakes/fake_desktop.h"

#include <algorithm>

namespace vigilon::testing {

WindowHandle FakeDesktop::Add(std::wstring caption, bool visible, bool minimised) {
    next_ += 4;
    windows_.push_back({next_, std::move(caption), visible, minimised, 100, false});
    return next_;
}

WindowHandle FakeDesktop::AddChild(std::wstring caption) {
    WindowHandle const handle = Add(std::move(caption));
    windows_.back().child = true;
    return handle;
}

void FakeDesktop::Remove(WindowHandle window) {
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

}  // namespace vigilon::testing
