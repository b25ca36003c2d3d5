#pragma once

#include <string>

#include "ui/about_logic.h"

namespace vigilon {

// The program's identity from its own version resource.
ApplicationInfo ReadApplicationInfo();

// The product name in the version resource of the executable at `path`; empty when it has none
// or cannot be read. The file is mapped as data only: none of its code runs.
std::wstring ImageProductName(std::wstring const& path);

}  // namespace vigilon
