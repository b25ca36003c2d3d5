#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace vigilon {

// Sends `bytes` (an encoded answer) to the window of a script's command, which waits for it. Given
// up at once for a caller found hung.
void SendAnswer(HWND caller, HWND from, std::vector<std::uint8_t>& bytes);

// Sends `bytes` (an encoded answer) to the window of a script's command that waits for an answer
// that follows (kRemoteAnswerFollows), from a thread of the system's pool: the command takes it
// within its own limit, and the user-interface thread waits for nobody. An answer that cannot be
// sent is left out: the command then says that Vigilon did not answer.
void SendLateAnswer(HWND caller, HWND from, std::vector<std::uint8_t> bytes);

}  // namespace vigilon
