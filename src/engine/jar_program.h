#pragma once

#include "app/watched_program.h"

namespace vigilon {

// The Quorvault archive program runs as a jar through javaw.exe and gets special handling.

// True when the record is the jar program for completing its paths and deleting its marker file:
// its caption starts with "Quorvault" in any case, or its prefix holds "-jar" (exact case).
bool IsJarProgram(WatchedProgram const& record);

// True when the record is started in its jar's folder rather than its executable's: its whole
// caption is "Quorvault" in any case, or its prefix holds "-jar" (exact case).
bool StartsInJarFolder(WatchedProgram const& record);

// Completes an `exe` that names the folder of javaw.exe and a `command` that names the folder of
// quorvault.jar into the paths of those files.
void CompleteJarPaths(WatchedProgram& record);

inline constexpr wchar_t kMarkerFileName[] = L"_quorvault_.run";

}  // namespace vigilon
