#pragma once

#include <string>

namespace vigilon {

// Writes `text` where this process's output goes: its standard output when it was given one, as
// UTF-8 to a pipe or a file; otherwise the console it was started from, if any.
void PrintToConsole(std::wstring const& text);

}  // namespace vigilon
