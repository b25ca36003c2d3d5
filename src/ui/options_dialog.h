#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/options.h"
#include "platform/platform.h"

namespace vigilon {

// Shows the Options dialog modally, owned by `owner`, filled from the settings file and the
// registry as they are. OK writes the options at once and returns them; Cancel returns nothing.
// `locked` (an administrator locks the settings): every row greyed and OK disabled.
std::optional<Options> ShowOptionsDialog(HWND owner, HINSTANCE instance, Platform& platform,
                                         SettingsFile const& settings, std::wstring const& exePath, bool locked);

}  // namespace vigilon
