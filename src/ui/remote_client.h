#pragma once

#include "app/remote_command.h"

namespace vigilon {

// Gives `request` to the copy of Vigilon running in this session, prints its answer on the
// standard output this process was given (a pipe or a file), or else on the console it was
// started from, and returns the exit code: the answer's, or kRemoteNoCopy when no copy runs or
// none answered. Opens no window that shows, and starts nothing.
int RunRemoteCommand(RemoteRequest const& request);

}  // namespace vigilon
