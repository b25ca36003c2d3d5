#pragma once

#include "platform/system_services.h"

namespace vigilon {

// Windows 95 itself (platform 1, version 4.0); Windows 98 and Me give false.
bool IsWindows95(SystemServices& system);

// Any system of the NT platform.
bool IsWindowsNT(SystemServices& system);

}  // namespace vigilon
