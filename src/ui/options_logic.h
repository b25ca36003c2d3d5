#pragma once

#include <optional>
#include <string>

#include "app/options.h"
#include "platform/registry.h"
#include "platform/system_services.h"

namespace vigilon {

// The hang time the dialog's row stands for: 0 when unchecked; otherwise the seconds typed, at
// least the smallest allowed, or kDefaultHangSeconds where no number was typed.
inline constexpr int kDefaultHangSeconds = 30;
int HangSecondsChosen(bool checked, std::wstring const& typed);

// Saves the options the user accepted in the Options dialog and tells the user what could not be
// written: the settings file as a failed Save is told, the start at logon in a message of its own.
// `startAtLogon` is set only when the user changed the box: otherwise the Run value, which may be
// another copy's, is left as it is. True when everything was written.
bool AcceptOptions(Options const& options, std::optional<bool> startAtLogon, SettingsFile const& settings,
                   Registry& registry, SystemServices& system, std::wstring const& exePath);

}  // namespace vigilon
