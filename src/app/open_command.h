#pragma once

#include <string>
#include <string_view>

#include "app/watched_programs.h"

namespace vigilon {

// The arguments with which the jar program is started through javaw.exe.
inline constexpr wchar_t kJarPrefix[] = L"-jar -Xmx384m";

// The executable of a shell open command: the text between the first two double quotes when the
// command starts with one, otherwise the text before the first blank after its first character,
// without blanks around it. A quote that is never closed gives the rest of the text; a command
// without a blank gives the whole text.
std::wstring ExeFromOpenCommandText(std::wstring_view command);

// Record `number`'s `exe` holds a whole open command: keeps only its executable, and sets the
// record's `prefix` to kJarPrefix.
void ExeFromOpenCommand(WatchedPrograms& programs, int number);

}  // namespace vigilon
