#pragma once

#include <string>

namespace vigilon {

// The full path of this program's executable, however long.
std::wstring ExecutablePath();

}  // namespace vigilon
