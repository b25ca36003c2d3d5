#include "engine/window_finder.h"

#include <array>

#include "support/text_case.h"
#include "support/window_search.h"

namespace vigilon {

WindowHandle WindowFinder::Find(WatchedProgram const& record) {
    if (state_ == Captions::Stale) {
        captions_.Update(desktop_);
        Read();
        claims_.Update(programs_);
        state_ = Captions::Current;
    }
    // A window closed or retitled since its caption was read, or now another program's, is looked
    // for afresh.
    if (WindowHandle const window = FindCached(record); window != 0) {
        return StillMatches(record, window) ? window : FindAfresh(record);
    }
    // Not among the captions as last read: a window may have taken the caption since, and not
    // every system reports a retitle.
    bool const due = events_.MonotonicMilliseconds() - lastFullReading_ >= kFullReadingInterval;
    return state_ != Captions::Fresh && due ? FindAfresh(record) : 0;
}

bool WindowFinder::StillMatches(WatchedProgram const& record, WindowHandle window) {
    WindowMatch const* const match = MatchOf(record);
    if (match == nullptr) return false;
    std::array<wchar_t, kCaptionBufferLength> buffer{};
    std::wstring const caption = ToUpperText(ReadCaption(desktop_, window, buffer));
    return CaptionFits(*match, caption) && Takes(record, *match, window, caption);
}

std::optional<std::wstring> WindowFinder::ShownBy(std::uint32_t processId, WindowHandle except, std::wstring_view text) {
    if (processId == 0) return std::nullopt;
    std::wstring const wanted = ToUpperText(text);
    std::optional<std::wstring> shown;
    captions_.Find(wanted, kMatchBeginsWith, false, [&](WindowHandle window, std::wstring_view) {
        if (window == except || desktop_.WindowProcessId(window) != processId || !desktop_.IsVisible(window)) return false;
        // Closed or retitled since it was read: not there any more.
        std::array<wchar_t, kCaptionBufferLength> buffer{};
        std::wstring_view const caption = ReadCaption(desktop_, window, buffer);
        if (!CaptionMatches(ToUpperText(caption), wanted, kMatchBeginsWith)) return false;
        shown = std::wstring(caption);
        return true;
    });
    return shown;
}

WindowHandle WindowFinder::FindAfresh(WatchedProgram const& record) {
    captions_.Refresh(desktop_);
    Read();
    state_ = Captions::Fresh;
    lastFullReading_ = events_.MonotonicMilliseconds();
    return FindCached(record);
}

void WindowFinder::Read() {
    if (images_.Empty()) return;
    images_.Prune([this](WindowHandle window) { return captions_.Holds(window); });
}

WindowHandle WindowFinder::FindCached(WatchedProgram const& record) {
    WindowMatch const* const match = MatchOf(record);
    if (match == nullptr) return 0;
    return captions_.Find(match->caption, match->captionKind, false, [&](WindowHandle window, std::wstring_view caption) {
        return Takes(record, *match, window, caption);
    });
}

WindowMatch const* WindowFinder::MatchOf(WatchedProgram const& record) {
    // The claims take the programs' keys again at the first search after events were processed,
    // which is when the list can change.
    if (WindowMatch const* const match = claims_.MatchOf(record.name); match != nullptr) return match;
    unclaimed_ = WindowMatchOf(record, fullPath_);
    return unclaimed_ ? &*unclaimed_ : nullptr;
}

bool WindowFinder::Fits(WindowMatch const& match, WindowHandle window) {
    if (!match.windowClass.empty() && captions_.UpperClass(desktop_, window) != match.windowClass) return false;
    if (match.process.empty()) return true;
    std::uint32_t const processId = captions_.ProcessId(desktop_, window);
    return processId != 0 && ImageFits(match, images_.Of(processId, window));
}

bool WindowFinder::Takes(WatchedProgram const& record, WindowMatch const& match, WindowHandle window,
                         std::wstring_view upperCaption) {
    return Fits(match, window) && claims_.MayTake(record.name, window, upperCaption, [&](WindowMatch const& rival) {
        return Fits(rival, window);
    });
}

}  // namespace vigilon
