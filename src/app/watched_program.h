#pragma once

#include <cstdint>
#include <string>

#include "app/restart_rules.h"

namespace vigilon {

// One configured program.
struct WatchedProgram {
    std::wstring name;     // also the name of the program's section in the settings file
    std::wstring caption;  // leading text of the caption of the program's main window
    std::wstring exe;      // the executable, or for the jar program the folder of javaw.exe
    std::wstring command;  // a file or folder handed to the program in double quotes
    std::wstring prefix;   // arguments before the quoted command
    std::wstring postfix;  // arguments after the quoted command
    std::int32_t launchResult = 0;  // the shell's result for the last launch; not stored
    RestartRules rules;             // set in the Restart Rules dialog; keys of their own in the section
    bool added = false;             // added in the editor and not saved since; not stored
};

}  // namespace vigilon
