#pragma once

#include <windows.h>

#include "platform/win32/win32_owners.h"

namespace vigilon {

// A security descriptor for a folder that only the user this process runs as, the system and the
// administrators may open, with full control that files and folders inside inherit. Its list is
// protected: nothing is inherited from the parent folder, whose permissions may let every user read.
// Empty when the user could not be read from the process's token.
UniqueLocal<PSECURITY_DESCRIPTOR> PrivateFolderSecurity();

}  // namespace vigilon
