#pragma once

#include <cstdint>
#include <string>

#include "app/restart_rules.h"
#include "platform/process_watch.h"

namespace vigilon {

// The code a console program ends with when its window is closed or Ctrl+C is pressed: the user's
// own end, though it looks like an exception code.
inline constexpr std::uint32_t kControlCExit = 0xC000013Au;

// True for an end the program or its user chose: 0, or a console window closed.
constexpr bool IsNormalEnd(std::uint32_t code) { return code == 0 || code == kControlCExit; }

// True for an exception code, such as 0xC0000005: the two high bits set. A process ends with one
// when it crashed.
constexpr bool IsCrashCode(std::uint32_t code) {
    return (code & 0xC0000000u) == 0xC0000000u && code != kControlCExit;
}

// The code as the history gives it: "exit code 0", "exit code 3", "exit code 0xC0000005 (crash)".
// Codes with the highest bit set are given in hex, as the system's own codes are written.
std::wstring ExitCodeText(std::uint32_t code);

// What follows once a program's window is gone, or the process it left running has ended.
enum class AfterEnd : std::uint8_t {
    StartAgain,    // started again, as it always was
    LeaveClosed,   // it exited with 0 under Restart=Failure: left closed until someone starts it
    AwaitProcess,  // its window is gone while its process goes on: judged when the process ends
};

// Restart=Failure starts a program again only when it failed: an exit code other than 0 (or a
// console window closed), or a code
// that cannot be read (a failure is the safer guess), or an end Vigilon asked for (`planned`).
AfterEnd JudgeEnd(RestartWhen when, bool planned, ProcessExit const& exit);

// What a `gone` line says of the process: its exit code once it ended; while it still runs, that it
// does; nothing when it cannot be told, unless Restart=Failure then starts it again for that.
std::wstring GoneExitText(RestartWhen when, std::uint32_t processId, ProcessExit const& exit);

}  // namespace vigilon
