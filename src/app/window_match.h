#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/watched_program.h"

namespace vigilon {

// How a program's window is known, its texts upper-cased: its caption compared as CaptionMatch
// says and, where set, its class and the image of its process. All that are set must match.
struct WindowMatch {
    std::wstring caption;
    std::int32_t captionKind = 0;  // kMatchBeginsWith, kMatchContains, kMatchEndsWith or kMatchEquals
    std::wstring windowClass;      // empty: any class
    std::wstring process;          // a full path or, when `processByName`, a file name; empty: any
    bool processByName = false;

    // How many of the narrowing keys (Class, Process) are set.
    int Narrowing() const { return (windowClass.empty() ? 0 : 1) + (process.empty() ? 0 : 1); }
    bool operator==(WindowMatch const&) const = default;
};

// The long full path of a path, as the file system gives it (FileSystem::LongFullPath).
using FullPathOf = std::function<std::wstring(std::wstring_view path)>;

// The program's match; nothing when one of its keys cannot be used (said by the check of the
// settings), so that no wider match than the one asked for is ever made. A Process given as a full
// path is written out by `fullPath` when given (C:\PROGRA~1\App\app.exe is the image's
// C:\Program Files\App\app.exe), except on a share, where asking could wait on the network; a
// file name without an extension is taken as an .exe (notepad is notepad.exe).
std::optional<WindowMatch> WindowMatchOf(WatchedProgram const& record, FullPathOf const& fullPath = {});

// True when the program's matching keys can all be used; reads nothing more than needed when none
// is set, as at every pass.
bool MatchKeysUsable(RestartRules const& rules);

// True when the upper-cased caption matches.
bool CaptionFits(WindowMatch const& match, std::wstring_view upperCaption);

// True when an image path, upper-cased, is the process asked for (always when none is).
bool ImageFits(WindowMatch const& match, std::wstring_view upperImage);

// True when some window could match both: their captions can both be found in one caption,
// and neither the classes nor the processes they ask for differ.
bool MayShareWindow(WindowMatch const& a, WindowMatch const& b);

}  // namespace vigilon
