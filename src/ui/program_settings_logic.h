#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/restart_rules.h"
#include "app/watched_programs.h"
#include "platform/display.h"
#include "ui/health_check_logic.h"
#include "ui/restart_rules_logic.h"

namespace vigilon {

// One entry of a drop-down: what it shows, and the key's text it stands for (empty: no key).
struct SettingsChoice {
    std::wstring label;
    std::wstring value;

    bool operator==(SettingsChoice const&) const = default;
};

// The Settings dialog's fields for one program, on its four pages. The drop-downs hold the key's
// text they stand for; the boxes hold what is typed.
struct ProgramSettingsForm {
    // Window
    std::wstring show;     // Show: "" (Hidden, the default), "Normal", "Maximized", "FullScreen"
    std::wstring monitor;  // Monitor: "" (where it opens), "primary" or a display's identity
    bool onTop = false;
    bool noWindow = false;  // Window=None: the three rows above do not apply
    std::wstring captionMatch;  // CaptionMatch: "" (Start, the default), "Contains", "End", "Exact"
    std::wstring windowClass;   // Class: empty for any
    std::wstring process;       // Process: a full path or a file name; empty for any
    std::wstring exe;       // the program's EXE, not on these pages: "no window" needs its full path
    // Start
    std::wstring startDelay;   // seconds; empty or 0 for none
    std::wstring startAfter;   // another program's name; empty for none
    std::wstring waitFor;      // a path or host:port; empty for none
    std::wstring waitSeconds;  // empty for the default
    // Restart
    RestartRulesForm restart;
    std::wstring restartWhen;  // Restart: "" (Always, the default) or "Failure"
    std::wstring escalate;         // Escalate: the ladder as written; empty for none
    std::wstring escalateMinutes;  // EscalateMinutes: empty for the default
    // Health
    HealthCheckForm health;
    // Start, its foot
    std::wstring hours;        // Hours: empty for all hours
    std::wstring idleRestart;  // IdleRestart: minutes; empty for none
};

// The drop-downs' entries. A value from the file that none of them stands for (a display not
// attached now, a name no longer in the list, a word that cannot be used) is offered too, as
// written, so that opening and closing the dialog never loses it.
std::vector<SettingsChoice> ShowChoices(std::wstring const& current);
std::vector<SettingsChoice> MonitorChoices(std::vector<DisplayInfo> const& displays, std::wstring const& current);
// The other programs of the list (not program `number` itself), after "(none)".
std::vector<SettingsChoice> StartAfterChoices(WatchedPrograms const& programs, int number, std::wstring const& current);
std::vector<SettingsChoice> RestartWhenChoices(std::wstring const& current);
// "Then:" on the Health page: restart it (the default, no key) or only report it.
std::vector<SettingsChoice> CheckActionChoices(std::wstring const& current);
// "Its caption:" on the Window page: how the caption the editor holds is compared.
std::vector<SettingsChoice> CaptionMatchChoices(std::wstring const& current);

// The entry of `choices` that stands for `value` (case ignored); 0 when none does.
int ChoiceIndex(std::vector<SettingsChoice> const& choices, std::wstring const& value);

// The fields for a program's keys as its section holds them.
ProgramSettingsForm SettingsFormFromRules(RestartRules const& rules);

// The row a refusal names, so that the dialog can show its page and put the focus there.
// Health: the row of the Health page that `healthRow` names.
enum class SettingsRow : std::uint8_t {
    None, NoWindow, StartDelay, WaitFor, WaitSeconds, MemoryLimit, RestartTimes, Health, Process, Escalate,
    EscalateMinutes, Hours, IdleRestart
};

// The keys the fields stand for, or, when a box holds something that cannot be used, a message
// naming its row and no keys. A default (Hidden, Always, no delay) writes no key.
struct ProgramSettingsChoice {
    RestartRules rules;
    std::wstring refusal;  // empty when the keys stand
    SettingsRow row = SettingsRow::None;
    HealthRow healthRow = HealthRow::None;
};
ProgramSettingsChoice RulesFromSettingsForm(ProgramSettingsForm const& form, RestartRules const& original);

// The line an editor, Options or Settings opened read-only shows.
inline constexpr wchar_t kLockedSettingsNote[] = L"An administrator manages these settings.";

}  // namespace vigilon
