#include "ui/restart_rules_logic.h"

#include "app/settings.h"
#include "support/application_title.h"
#include "support/message.h"

namespace vigilon {

RestartRulesForm FormFromRules(RestartRules const& rules) {
    RestartRulesForm form;
    form.memoryOn = !rules.maxMemoryMB.empty();
    form.megabytes = rules.maxMemoryMB;
    form.scheduleOn = !rules.restartAt.empty();
    form.times = rules.restartAt;
    form.noCrashDialog = ParseCrashDialog(rules.crashDialog).value == false;
    return form;
}

RestartRulesChoice RulesFromForm(RestartRulesForm const& form, RestartRules const& original) {
    RestartRulesChoice choice;
    if (form.memoryOn) {
        RuleValue<int> const limit = ParseMemoryLimit(form.megabytes);
        if (!limit.value) {
            return {{}, L"Restart when its memory stays above: type a whole number of megabytes from 1 to " +
                            std::to_wstring(kMaxMemoryLimitMB) + L"."};
        }
        choice.rules.maxMemoryMB = std::to_wstring(*limit.value);
    }
    if (form.scheduleOn) {
        RuleValue<std::vector<int>> const times = ParseRestartTimes(form.times);
        if (!times.value) {
            return {{}, L"Restart every day at: type times of day from 0:00 to 23:59 as hh:mm, separated by "
                        L"commas, for example 03:30, 15:00."};
        }
        choice.rules.restartAt = FormatRestartTimes(*times.value);
    }
    if (form.noCrashDialog) {
        choice.rules.crashDialog = L"0";
    } else if (!ParseCrashDialog(original.crashDialog).problem.empty()) {
        choice.rules.crashDialog = original.crashDialog;  // the user's text, which the box cannot show
    }
    return choice;
}

bool AcceptRestartRules(WatchedPrograms& programs, int number, RestartRules const& rules, SettingsFile const& settings,
                        SystemServices& system) {
    if (number < 1 || number > programs.Count()) return false;
    // A program not saved yet has no section to write to: its rules go with it at the next Save,
    // and a Cancel leaves nothing behind in the file.
    if (programs[number].added) {
        programs[number].rules = rules;
        return true;
    }
    if (!SaveRestartRules(settings, programs[number].name, rules, true)) {
        ShowMessage(system, UnsavedSettingsMessage(settings.Path()), kMbIconExclamation, kApplicationTitle);
        return false;
    }
    programs[number].rules = rules;
    return true;
}

}  // namespace vigilon
