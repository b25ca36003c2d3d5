#pragma once

#include <windows.h>

#include <string>

namespace vigilon {

// The system's words for `error` with its number, "Access is denied (error 5)", without the
// trailing full stop; only "error N" where the system has no words for it.
std::wstring SystemErrorText(DWORD error);

}  // namespace vigilon
