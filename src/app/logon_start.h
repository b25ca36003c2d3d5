#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace vigilon {

inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Vigilon";
// Where Task Manager's Startup tab keeps a program enabled or disabled: a binary value whose first
// byte is odd while the program is disabled.
inline constexpr wchar_t kStartupApprovedPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// What starts at logon under Vigilon's Run value, as seen from the copy at one path.
struct LogonStart {
    bool thisCopy = false;      // the Run value starts this copy
    bool disabled = false;      // Task Manager has the Run value disabled
    std::wstring other;         // the program another copy's Run value starts; empty for none
    bool otherMissing = false;  // that program's file is gone

    // Windows starts this copy at logon.
    bool Enabled() const { return thisCopy && !disabled; }
};

// The program a Run value starts: the quoted path, or the text up to ".exe", or the whole text.
std::wstring RunValueProgram(std::wstring const& value);

LogonStart ReadLogonStart(Registry& registry, FileSystem& files, std::wstring const& exePath);

// What the Options dialog says under its row, empty when the box tells the whole story.
std::wstring LogonStartNote(LogonStart const& start);

// Makes Windows start the copy at `exePath` at logon: its Run value, replacing another copy's, and
// enabled in Task Manager. True on success.
bool SetStartAtLogon(Registry& registry, std::wstring const& exePath);

// Deletes the Run value when it starts the copy at `exePath` (quoted or not, case ignored), as
// unticking the box or uninstalling that copy asks; another copy's value is left alone. True when
// no Run value starts this copy any more.
bool ForgetStartAtLogon(Registry& registry, std::wstring const& exePath);

// Sets the Run value to the copy at `exePath` when there is none, or when it names a program that
// is gone: an upgrade keeps a start at logon its removal of the older version took away. True
// when a Run value is there afterwards.
bool SetStartAtLogonIfMissing(Registry& registry, FileSystem& files, std::wstring const& exePath);

}  // namespace vigilon
