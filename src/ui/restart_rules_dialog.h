#pragma once

#include <windows.h>

#include "app/settings_file.h"
#include "app/watched_programs.h"
#include "platform/platform.h"

namespace vigilon {

// Shows the Restart Rules dialog for program `number` modally, owned by `owner`. OK writes the
// rules at once and takes them into the table; input that cannot be used is refused with a
// message and the dialog stays open; Cancel changes nothing.
void ShowRestartRulesDialog(HWND owner, HINSTANCE instance, Platform& platform, SettingsFile const& settings,
                            WatchedPrograms& programs, int number);

}  // namespace vigilon
