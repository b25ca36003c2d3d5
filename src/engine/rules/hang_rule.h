#pragma once

#include <cstdint>

#include "engine/program_state.h"
#include "platform/platform.h"

namespace vigilon {

// Asks the program's window whether it answers, when no question is out; true when one was sent.
bool AskWhetherItAnswers(Platform& platform, ProgramState& state, std::int64_t now);

}  // namespace vigilon
