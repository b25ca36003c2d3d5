#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/watched_program.h"
#include "engine/program_state.h"

namespace vigilon {

// What came of asking for one program to be started now (/start "Name").
enum class StartAnswer : std::uint8_t {
    Starting,        // it is started at the next pass, whatever held it back
    AlreadyRunning,  // its window is there
    AlreadyStarting, // started already, its window awaited
    NoCaption,       // it has no caption: it is not watched, so not started
    LaunchPaused,    // launching is paused: nothing is started until it resumes
    EditorOpen,      // the editor has watching stopped
    MissingFile,     // its executable (or jar) is missing: a start would stop on it
    NoticeWaits,     // a notice waits for OK and holds the passes: no start until it is answered
    NoSuchProgram,
};

// The answer, with the message of the missing file when that is why it is not started.
struct StartReply {
    StartAnswer answer = StartAnswer::Starting;
    std::wstring missingFile;  // "Executable: C:\Clock\clock.exe is not a valid file."

    bool operator==(StartReply const&) const = default;
};

// Where Vigilon stands when the start is asked for.
struct StartContext {
    bool launchPaused = false;
    bool watching = true;       // false while the editor is open
    bool windowThere = false;   // the window the last pass found is still there
    bool noticeWaits = false;   // a pass is held by a notice that waits for OK
    // What a start would stop on now, empty when its files are there: looked for only when the
    // answer depends on it.
    std::function<std::wstring()> missingFile;
};

// Decides, and when the answer is Starting readies the program for the next pass: a program
// backing off, left closed by Restart=Failure, or waiting for a start retried later is started at
// once, and a window gone meanwhile is started again however the program ended. A start that
// could not happen (a file missing, the passes held) is refused with its reason and not kept for
// later: a script that is told 0 can count on the start.
StartReply AskToStart(WatchedProgram const& record, ProgramState& state, StartContext const& context);

}  // namespace vigilon
