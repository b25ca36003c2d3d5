#pragma once

#include <string>

#include "app/restart_rules.h"
#include "app/settings_file.h"
#include "app/watched_programs.h"
#include "platform/system_services.h"

namespace vigilon {

// The fields of the Restart page of a program's Settings dialog.
struct RestartRulesForm {
    bool memoryOn = false;
    std::wstring megabytes;
    bool scheduleOn = false;
    std::wstring times;
    bool noCrashDialog = false;
};

// The fields for a program's rules as its section holds them; a value that cannot be used is
// shown as written, with its row ticked, so that the user sees it and can mend it.
RestartRulesForm FormFromRules(RestartRules const& rules);

// The rules the fields stand for, written as the settings file keeps them; or, when a ticked row
// holds something that cannot be used, a message that names the row, and no rules. A crash
// dialog value from the file that cannot be used, left unticked, is kept as it was written.
struct RestartRulesChoice {
    RestartRules rules;
    std::wstring refusal;  // empty when the rules stand
};
RestartRulesChoice RulesFromForm(RestartRulesForm const& form, RestartRules const& original);

// Writes program `number`'s rules at once (for a program added and not saved yet, they wait for
// Save and nothing is written), and takes them into the table so that they apply from
// the next pass. A write that fails is told as a failed Save is, and the table keeps the rules it
// had. True when written.
bool AcceptRestartRules(WatchedPrograms& programs, int number, RestartRules const& rules, SettingsFile const& settings,
                        SystemServices& system);

}  // namespace vigilon
