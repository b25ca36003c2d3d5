#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/watched_programs.h"
#include "engine/process_images.h"
#include "engine/window_claims.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/process_watch.h"
#include "support/caption_cache.h"

namespace vigilon {

// Finds each program's window for the pass, from the desktop's captions as last read: one reading
// per pass, taken again whenever events were processed (a launch, a wait, a message), and left out
// while the desktop reports no change. The window found is confirmed by reading its own caption
// again, so a closed or retitled window is never taken for the program's; a program not found is
// looked for among every caption read afresh, at most every other second, so a window retitled
// into a match counts within a tick or two. One window, one program (see WindowClaims).
//
// A window is the program's when its caption matches as the program's CaptionMatch says and,
// where set, its class and its process's image are those of Class and Process. The class and the
// process are asked only of a window whose caption matches, once in the window's life (the
// caption cache keeps them), and the image once in the process's (ProcessImages): a program
// without those keys costs what it did before them.
class WindowFinder {
public:
    WindowFinder(Desktop& desktop, ProcessWatch& processes, FileSystem& files, EventLoop& events,
                 WatchedPrograms const& programs, WindowClaims::HolderOf holder)
        : desktop_(desktop),
          events_(events),
          programs_(programs),
          images_(processes, [&files](std::wstring_view path) { return files.LongFullPath(path); }),
          fullPath_([&files](std::wstring_view path) { return files.LongFullPath(path); }),
          claims_(std::move(holder), fullPath_) {}

    // Events were processed: windows may have come and gone since the captions were read.
    void Stale() { state_ = Captions::Stale; }
    // True when every caption was read afresh since events were last processed.
    bool Fresh() const { return state_ == Captions::Fresh; }

    // The program's window as the pass sees it (see above); 0 for none.
    WindowHandle Find(WatchedProgram const& record);
    // The program's window after reading every caption afresh; the cache is corrected meanwhile.
    WindowHandle FindAfresh(WatchedProgram const& record);
    // True when the window, its caption read now, is still the program's: it matches, and no other
    // program has a stronger claim on it.
    bool StillMatches(WatchedProgram const& record, WindowHandle window);
    // The programs' keys may have changed since the last pass (a caption put back in the editor
    // while it is open): the claims take them again now, for a judgement made between passes.
    void ReadKeys() { claims_.Update(programs_); }
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
    WindowHandle FindCached(WatchedProgram const& record);
    // The program's match: as the claims took it, or worked out now for a program they do not
    // know yet. Null when one of its keys cannot be used.
    WindowMatch const* MatchOf(WatchedProgram const& record);
    // True when the window's class and process are those `match` asks for.
    bool Fits(WindowMatch const& match, WindowHandle window);
    // True when the window matches and the program may take it.
    bool Takes(WatchedProgram const& record, WindowMatch const& match, WindowHandle window, std::wstring_view upperCaption);
    // The desktop was read again: what is kept of processes whose windows are gone is dropped.
    void Read();

    Desktop& desktop_;
    EventLoop& events_;
    WatchedPrograms const& programs_;
    CaptionCache captions_;
    ProcessImages images_;
    FullPathOf fullPath_;
    WindowClaims claims_;
    std::optional<WindowMatch> unclaimed_;  // the match of a program the claims do not know yet
    Captions state_ = Captions::Stale;
    std::int64_t lastFullReading_ = INT64_MIN / 2;  // monotonic milliseconds
};

}  // namespace vigilon
