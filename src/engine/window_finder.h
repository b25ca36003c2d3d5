#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/watched_programs.h"
#include "engine/window_claims.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "support/caption_cache.h"

namespace vigilon {

// Finds each program's window for the pass, from the desktop's captions as last read: one reading
// per pass, taken again whenever events were processed (a launch, a wait, a message), and left out
// while the desktop reports no change. The window found is confirmed by reading its own caption
// again, so a closed or retitled window is never taken for the program's; a program not found is
// looked for among every caption read afresh, at most every other second, so a window retitled
// into a match counts within a tick or two. One window, one program (see WindowClaims).
class WindowFinder {
public:
    WindowFinder(Desktop& desktop, EventLoop& events, WatchedPrograms const& programs,
                 WindowClaims::HolderOf holder)
        : desktop_(desktop), events_(events), programs_(programs), claims_(std::move(holder)) {}

    // Events were processed: windows may have come and gone since the captions were read.
    void Stale() { state_ = Captions::Stale; }
    // True when every caption was read afresh since events were last processed.
    bool Fresh() const { return state_ == Captions::Fresh; }

    // The program's window as the pass sees it (see above); 0 for none.
    WindowHandle Find(WatchedProgram const& record);
    // The program's window after reading every caption afresh; the cache is corrected meanwhile.
    WindowHandle FindAfresh(WatchedProgram const& record);
    // True when the window's caption, read now, is still the program's: it matches, and no other
    // program's matches more of it.
    bool StillMatches(WatchedProgram const& record, WindowHandle window);
    // The caption of a visible window of process `processId`, other than `except`, whose caption
    // begins with `text` (case ignored): looked for among the captions as last read, and only a
    // window that matches is asked for its process and read again. Nothing when none shows one.
    std::optional<std::wstring> ShownBy(std::uint32_t processId, WindowHandle except, std::wstring_view text);

private:
    // How the cached captions stand since events were last processed: not read, updated (only
    // what may have changed), or read in full.
    enum class Captions : std::uint8_t { Stale, Current, Fresh };
    // Reading every caption costs a round trip per window under Wine: done for a missing program
    // at most this often, so every other one-second pass.
    static constexpr std::int64_t kFullReadingInterval = 1500;

    // The first window among the captions as last read that the program may take.
    WindowHandle FindCached(WatchedProgram const& record) const;

    Desktop& desktop_;
    EventLoop& events_;
    WatchedPrograms const& programs_;
    CaptionCache captions_;
    WindowClaims claims_;
    Captions state_ = Captions::Stale;
    std::int64_t lastFullReading_ = INT64_MIN / 2;  // monotonic milliseconds
};

}  // namespace vigilon
