#pragma once

#include <string>
#include <string_view>

namespace vigilon {

enum class StartMode { Watch, Configure };

// The arguments of a full command line: what follows the program's name (quoted or not) and the
// blanks after it.
std::wstring_view ArgumentsOf(std::wstring_view commandLine);

// Configure when the arguments hold "configure" anywhere, in any case; with no arguments,
// Configure on a first run; Watch otherwise.
StartMode DecideStartMode(std::wstring_view arguments, bool firstRun);

}  // namespace vigilon
