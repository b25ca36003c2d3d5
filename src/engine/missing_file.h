#pragma once

#include <string>

#include "app/watched_program.h"
#include "platform/file_system.h"

namespace vigilon {

// What the pass says when a program cannot be started because a file is missing.
std::wstring MissingExecutableMessage(std::wstring const& exe);
std::wstring MissingJarMessage(std::wstring const& jar);

// The message a start of the program would stop on now, or empty when its files are there. Looks
// where the pass looks: the jar program's jar by its completed path, and an executable given by a
// relative path in the jar's folder for the jar program, in `programFolder` for any other. The
// record is a copy: its paths are completed here only for the look.
std::wstring MissingFileOf(WatchedProgram record, FileSystem& files, std::wstring const& programFolder);

}  // namespace vigilon
