#include "ui/options_logic.h"

#include "app/logon_start.h"
#include "app/settings.h"
#include "support/application_title.h"
#include "support/blanks.h"
#include "support/digits.h"
#include "support/message.h"
#include "support/text_case.h"

namespace vigilon {

HangSecondsChoice ChooseHangSeconds(bool checked, std::wstring const& typed) {
    if (!checked) return {};
    int const seconds = SmallNumber(TrimBlanks(typed), 5);
    if (seconds >= kMinHangSeconds && seconds <= kMaxHangSeconds) return {seconds, {}};
    return {0, L"Restart a program that stops responding for: type a whole number of seconds from " +
                   std::to_wstring(kMinHangSeconds) + L" to " + std::to_wstring(kMaxHangSeconds) + L"."};
}

AlertsChoice ChooseAlerts(std::wstring const& url, int formatIndex, std::wstring const& afterTyped) {
    AlertsChoice choice;
    choice.url = std::wstring(TrimSpacesAndTabs(url));
    if (!choice.url.empty()) {
        std::wstring const problem = AlertUrlProblem(choice.url);
        if (!problem.empty()) {
            choice.refusal = L"Post alerts to this address: " + problem + L".";
            return choice;
        }
    }
    if (formatIndex >= 0 && formatIndex <= static_cast<int>(kLastAlertFormat)) {
        choice.format = static_cast<AlertFormat>(formatIndex);
    }
    std::wstring_view const typed = TrimBlanks(afterTyped);
    int const seconds = typed.empty() ? kDefaultAlertAfterSeconds : SmallNumber(typed, 5);
    if (seconds < 0 || seconds > kMaxAlertAfterSeconds) {
        choice.refusal = L"After a program is down for: type a whole number of seconds from 0 to " +
                         std::to_wstring(kMaxAlertAfterSeconds) + L".";
        choice.refusedAfter = true;
        return choice;
    }
    choice.afterSeconds = seconds;
    return choice;
}

EscalationChoice ChooseEscalation(std::wstring const& minUptime, std::wstring const& maxReboots,
                                  std::wstring const& notice, std::wstring const& rebootAt,
                                  std::wstring const& rebootDays) {
    EscalationChoice choice;
    struct Row {
        wchar_t const* label;
        std::wstring problem;
    };
    Row const rows[] = {{L"Never within ... minutes of its start", MinUptimeCheck(minUptime)},
                        {L"At most ... a day", MaxRebootsCheck(maxReboots)},
                        {L"Count down for", EscalateNoticeCheck(notice)},
                        {L"Restart the PC at", RebootAtCheck(rebootAt)},
                        {L"Restart the PC on", RebootDaysCheck(rebootDays)}};
    for (int row = 0; row < 5; ++row) {
        if (rows[row].problem.empty()) continue;
        choice.refusal = std::wstring(rows[row].label) + L": " + rows[row].problem + L".";
        choice.refusedRow = row;
        return choice;
    }
    choice.options.minUptimeMinutes = MinUptimeFrom(minUptime);
    choice.options.maxReboots = MaxRebootsFrom(maxReboots);
    choice.options.noticeSeconds = EscalateNoticeFrom(notice);
    choice.options.rebootAt = RebootAtFrom(rebootAt);
    choice.options.rebootDays = RebootDaysFrom(rebootDays);
    return choice;
}

std::vector<std::wstring> AlertFormatLabels() {
    return {L"Auto (by the address)", L"Json (Vigilon's own)", L"Text", L"Teams", L"Slack", L"Discord", L"ntfy",
            L"Gotify"};
}

bool AcceptOptions(Options const& options, std::optional<bool> startAtLogon, SettingsFile const& settings,
                   Registry& registry, SystemServices& system, std::wstring const& exePath) {
    bool const settingsSaved = SaveOptions(options, settings);
    if (!settingsSaved) {
        ShowMessage(system, UnsavedSettingsMessage(settings.Path()), kMbIconExclamation, kApplicationTitle);
    }
    bool logonSaved = true;
    if (startAtLogon) {
        logonSaved = *startAtLogon ? SetStartAtLogon(registry, exePath) : ForgetStartAtLogon(registry, exePath);
    }
    if (!logonSaved) {
        ShowMessage(system, L"Starting Vigilon when you log on could not be set in the registry.",
                    kMbIconExclamation, kApplicationTitle);
    }
    return settingsSaved && logonSaved;
}

std::wstring CommandForChosenFile(std::wstring const& path, std::wstring const& systemFolder) {
    std::wstring const quoted = L"\"" + path + L"\"";
    std::wstring const extension = ToLowerText(path.size() >= 4 ? path.substr(path.size() - 4) : L"");
    if (extension != L".ps1") return quoted;
    return L"\"" + systemFolder + L"\\WindowsPowerShell\\v1.0\\powershell.exe\" -NoProfile -NonInteractive -File " + quoted;
}

}  // namespace vigilon
