#pragma once

#include <string>

namespace vigilon {

// The full path of this program's executable, however long.
std::wstring ExecutablePath();

// The system folder (C:\Windows\System32), without a trailing backslash: the programs Vigilon
// starts itself (the command interpreter, PowerShell, Notepad) are named by their full path in it,
// never found by their bare name in folders others may write to.
std::wstring SystemFolderPath();

}  // namespace vigilon
