#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/options.h"
#include "platform/registry.h"
#include "platform/system_services.h"

namespace vigilon {

// The seconds the dialog's box shows when the row was off.
inline constexpr int kDefaultHangSeconds = 30;

// The hang time the dialog's row stands for: 0 when unchecked; otherwise the whole number of
// seconds typed, from kMinHangSeconds to kMaxHangSeconds. Anything else is refused with a message
// that names the row and the range, and nothing is changed.
struct HangSecondsChoice {
    int seconds = 0;
    std::wstring refusal;  // empty when the choice stands
};
HangSecondsChoice ChooseHangSeconds(bool checked, std::wstring const& typed);

// The Alerts rows as the user leaves them: the address (blanks trimmed; empty for none), the
// format by its place in the list (Auto first, as AlertFormat counts), the seconds typed. An
// address AlertUrlProblem refuses, or seconds outside 0..3600, are refused with a message naming
// the row, and nothing is changed.
struct AlertsChoice {
    std::wstring url;
    AlertFormat format = AlertFormat::Auto;
    int afterSeconds = kDefaultAlertAfterSeconds;
    std::wstring refusal;  // empty when the choice stands
    bool refusedAfter = false;  // the seconds were refused, rather than the address
};
AlertsChoice ChooseAlerts(std::wstring const& url, int formatIndex, std::wstring const& afterTyped);

// The escalation rows as the user leaves them, each as typed: MinUptime, MaxReboots and
// EscalateNotice whole numbers in their ranges, RebootAt a time of day or empty (off), RebootDays
// days of the week or empty (every day). The first that cannot be used is refused with a message
// naming its row, `refusedRow` its place (0 to 4, in that order), and nothing is changed.
struct EscalationChoice {
    EscalationOptions options;
    std::wstring refusal;  // empty when the choice stands
    int refusedRow = -1;
};
EscalationChoice ChooseEscalation(std::wstring const& minUptime, std::wstring const& maxReboots,
                                  std::wstring const& notice, std::wstring const& rebootAt,
                                  std::wstring const& rebootDays);

// The labels of the Format list, in AlertFormat's order.
std::vector<std::wstring> AlertFormatLabels();

// The command line for a program or script chosen with Browse: the path quoted, and a PowerShell
// script run by PowerShell without its profile (cmd.exe would open a .ps1 in Notepad), named by its
// full path in `systemFolder`: by its bare name, a powershell.exe in the current folder would run.
std::wstring CommandForChosenFile(std::wstring const& path, std::wstring const& systemFolder);

// Saves the options the user accepted in the Options dialog and tells the user what could not be
// written: the settings file as a failed Save is told, the start at logon in a message of its own.
// `startAtLogon` is set only when the user changed the box: otherwise the Run value, which may be
// another copy's, is left as it is. True when everything was written.
bool AcceptOptions(Options const& options, std::optional<bool> startAtLogon, SettingsFile const& settings,
                   Registry& registry, SystemServices& system, std::wstring const& exePath);

}  // namespace vigilon
