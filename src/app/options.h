#pragma once

#include <string>

#include "app/settings_file.h"
#include "platform/registry.h"

namespace vigilon {

// The user's choices for unattended use, kept apart from the dialog that shows them.
struct Options {
    bool trayNotices = false;   // [Apps] Notices=Tray; any other value, or none, means Box
    bool startAtLogon = false;  // the Run value "Vigilon" of the current user is there
};

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

}  // namespace vigilon
