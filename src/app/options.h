#pragma once

#include <string>

#include "app/settings_file.h"
#include "platform/registry.h"

namespace vigilon {

// The user's choices for unattended use, kept apart from the dialog that shows them.
struct Options {
    bool trayNotices = false;   // [Apps] Notices=Tray; any other value, or none, means Box
    bool startAtLogon = false;  // the Run value "Vigilon" of the current user is there
    bool backoff = false;       // [Apps] Backoff=1: wait longer between starts of a program that keeps failing
    int hangSeconds = 0;        // [Apps] HangSeconds=N: restart a window that does not answer for N seconds; 0 off
};

// The smallest number of seconds a window must fail to answer before it counts as hung: the
// system itself calls a window hung after five.
inline constexpr int kMinHangSeconds = 5;
inline constexpr int kMaxHangSeconds = 3600;

// A HangSeconds value as the user wrote it: 0 (off) for nothing, zero, a negative number or no
// number; otherwise at least kMinHangSeconds and at most kMaxHangSeconds.
int HangSecondsFrom(std::wstring const& text);

inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Vigilon";

// The options as the settings file and the registry hold them now.
Options LoadOptions(SettingsFile const& settings, Registry& registry);

// What SaveOptions could not write.
struct OptionsSaved {
    bool settings = true;  // the [Apps] keys
    bool logon = true;     // the Run value
};

// Writes the options at once: the [Apps] keys, and the Run value set to the quoted `exePath` or
// deleted.
OptionsSaved SaveOptions(Options const& options, SettingsFile const& settings, Registry& registry,
                         std::wstring const& exePath);

// Deletes the Run value "Vigilon" when it starts the copy at `exePath` (quoted or not, case
// ignored), as uninstalling that copy asks; a value that starts another copy is left alone. True
// when no Run value starts this copy any more.
bool ForgetStartAtLogon(Registry& registry, std::wstring const& exePath);

// Sets the Run value "Vigilon" to start the copy at `exePath` when there is no Run value "Vigilon":
// an upgrade keeps a start at logon its removal of the older version took away. True when a Run
// value is there afterwards.
bool SetStartAtLogonIfMissing(Registry& registry, std::wstring const& exePath);

}  // namespace vigilon
