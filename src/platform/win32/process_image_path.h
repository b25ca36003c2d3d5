#pragma once

#include <windows.h>

#include <string>

namespace vigilon {

// The full path of the file the process runs, as the system gives it; empty when the process is
// gone or may not be asked (another user's, an elevated one).
std::wstring ProcessImagePathOf(DWORD processId);

}  // namespace vigilon
