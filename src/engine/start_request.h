#pragma once

#include <cstdint>

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
    NoSuchProgram,
};

// Where Vigilon stands when the start is asked for.
struct StartContext {
    bool launchPaused = false;
    bool watching = true;      // false while the editor is open
    bool windowThere = false;  // the window the last pass found is still there
};

// Decides, and when the answer is Starting readies the program for the next pass: a program
// backing off, left closed by Restart=Failure, or waiting for a start retried later is started at
// once, and a window gone meanwhile is started again however the program ended.
StartAnswer AskToStart(WatchedProgram const& record, ProgramState& state, StartContext const& context);

}  // namespace vigilon
