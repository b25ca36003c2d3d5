#pragma once

#include <cstddef>
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
// newest kKeep of them kept.
class TroubleScreenshots {
public:
    static constexpr std::size_t kKeep = 50;

    TroubleScreenshots(Platform& platform, std::wstring const& historyPath);

    // Screenshots=1: taken before a program is closed or ended for a hang or its memory.
    void SetOn(bool on) { on_ = on; }
    bool On() const { return on_; }

    // Saves one of `window` now (whether or not they are on: a user may ask for one), from the
    // screen's pixels when `fromScreen`, in the folder made for the user alone. Its path, or empty
    // when no file is there.
    std::wstring Take(WindowHandle window, std::wstring_view program, std::wstring_view event, bool fromScreen);

    std::wstring const& Folder() const { return folder_; }

private:
    Platform& platform_;
    std::wstring folder_;
    bool on_ = false;
};

}  // namespace vigilon
