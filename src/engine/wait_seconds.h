#pragma once

#include "platform/event_loop.h"

namespace vigilon {

// Handles events as they arrive until the wall clock's whole seconds have moved on by `seconds`
// (so 1 ends at the next change of the clock's seconds), sleeping in between. A clock set back
// ends the wait too rather than stretching it. False when the program was asked to end meanwhile.
bool WaitSeconds(EventLoop& events, int seconds);

}  // namespace vigilon
