#pragma once

#include <string>

#include "app/watched_programs.h"

namespace vigilon {

// Why the program's StartAfter cannot be used: it names no program of the list, one without a
// caption (whose window is never found), or a loop of names (a program that names itself is a
// loop of one). Empty when it can be used or is not set; `after` then gets the program it names,
// as listed (empty when none).
std::wstring StartAfterProblem(WatchedPrograms const& programs, WatchedProgram const& record, std::wstring& after);

}  // namespace vigilon
