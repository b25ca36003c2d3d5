#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vigilon {

// The file name of a screenshot taken at `time` of `program` for `event`:
// "2026-01-02 030405.123 Player hung.png". The time first, so that names sort as they were
// taken; characters a file name cannot hold become "_".
std::wstring ScreenshotFileName(LocalTime const& time, std::wstring_view program, std::wstring_view event);

// Of the screenshot files in `files` (any order), the names of those beyond the newest `keep` by the
// times they were written, oldest first; `saved`, the one just saved, counts among the kept and is
// never among them, whatever the times say (the clock may have been ahead when the others were
// written). Files whose names are not a screenshot's are never among them.
std::vector<std::wstring> ScreenshotsBeyond(std::vector<FileEntry> files, std::size_t keep, std::wstring_view saved);

// Pictures of a window in trouble, saved in the folder "screenshots" beside the history, the
// newest kKeep of them kept. Each is taken on the platform's worker: nobody waits for it, and whoever
// began it looks later (at the next pass, or when the platform says one is done). A picture not
// saved within kLimit is given up when it is looked at, and a file saved for it later is deleted:
// it is never named.
class TroubleScreenshots {
public:
    static constexpr std::size_t kKeep = 50;
    static constexpr std::int64_t kLimit = 2'000;  // monotonic milliseconds

    TroubleScreenshots(Platform& platform, std::wstring const& historyPath);
    TroubleScreenshots(TroubleScreenshots const&) = delete;
    TroubleScreenshots& operator=(TroubleScreenshots const&) = delete;
    ~TroubleScreenshots();

    // Screenshots=1: taken before a program is closed or ended for a hang or its memory.
    void SetOn(bool on) { on_ = on; }
    bool On() const { return on_; }

    // Begins one of `window` (whether or not they are on: a user may ask for one), from the
    // screen's pixels when `fromScreen`, in the folder made for the user alone. Its id, or 0 when
    // none can be taken (no window, or no folder).
    std::uint32_t Begin(WindowHandle window, std::wstring_view program, std::wstring_view event, bool fromScreen);

    // What came of picture `id`: nothing while it is being taken, within kLimit; then the path of
    // its file, older ones pruned, or empty when no file is there. The picture is forgotten then;
    // an unknown id is empty.
    std::optional<std::wstring> Take(std::uint32_t id);

    // Forgets the pictures nobody took for kForgotten past their limit (whoever began one gave up
    // the wait: its restart was called off), and deletes their files.
    void Expire();
    static constexpr std::int64_t kForgotten = 60'000;

private:
    struct Shot {
        std::uint32_t ticket = 0;    // the platform's
        std::wstring name;           // the file's name in the folder
        std::int64_t deadline = 0;   // monotonic
    };
    std::int64_t Now() { return platform_.events.MonotonicMilliseconds(); }
    // The path of the picture saved as `name`, once the oldest beyond kKeep are deleted; empty when
    // it is not there.
    std::wstring Kept(std::wstring const& name);

    Platform& platform_;
    std::wstring folder_;
    bool on_ = false;
    std::map<std::uint32_t, Shot> shots_;
    std::uint32_t last_ = 0;
};

}  // namespace vigilon
