#pragma once

#include "ui/about_logic.h"

namespace vigilon {

// The program's identity from its own version resource.
ApplicationInfo ReadApplicationInfo();

}  // namespace vigilon
