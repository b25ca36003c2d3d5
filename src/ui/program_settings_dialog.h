#pragma once

#include <windows.h>

#include "app/settings_file.h"
#include "app/watched_programs.h"
#include "platform/platform.h"

namespace vigilon {

// Shows the Settings dialog for program `number` modally, owned by `owner`, on its four pages:
// Window, Start, Restart and Health. OK writes the program's keys at once and takes them into the table;
// input that cannot be used is refused with a message naming its row, the dialog stays open and
// nothing is written; Cancel changes nothing. `readOnly` (an administrator locks the settings)
// shows every field greyed and OK disabled, with a line that says why.
void ShowProgramSettingsDialog(HWND owner, HINSTANCE instance, Platform& platform, SettingsFile const& settings,
                               WatchedPrograms& programs, int number, bool readOnly);

}  // namespace vigilon
