#include "app/setting_keys.h"

#include <vector>

#include "app/escalation_options.h"
#include "app/alert_options.h"
#include "app/hotkey.h"
#include "app/options.h"
#include "app/restart_rules.h"
#include "app/settings.h"
#include "support/digits.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

using enum KeyPlace;
using enum KeySetBy;

std::wstring ZeroOrOne(std::wstring_view text) { return text == L"0" || text == L"1" ? L"" : L"not 0 or 1"; }

std::wstring TrayOrBox(std::wstring_view text) {
    return SameText(text, L"Tray") || SameText(text, L"Box") ? L"" : L"not Tray or Box";
}

std::wstring HangSecondsCheck(std::wstring_view text) {
    int const value = SmallNumber(text, 4);
    if (value == 0 || (value >= kMinHangSeconds && value <= kMaxHangSeconds)) return {};
    return L"not 0 or a whole number of seconds from " + std::to_wstring(kMinHangSeconds) + L" to " +
           std::to_wstring(kMaxHangSeconds);
}

std::wstring HeartbeatSecondsCheck(std::wstring_view text) {
    int const value = SmallNumber(text, 4);
    if (value >= kMinHeartbeatSeconds && value <= kMaxHeartbeatSeconds) return {};
    return L"not a whole number of seconds from " + std::to_wstring(kMinHeartbeatSeconds) + L" to " +
           std::to_wstring(kMaxHeartbeatSeconds);
}

std::wstring DisplayOffCheck(std::wstring_view text) {
    return text.empty() || SameText(text, kDisplayOffHours) ? L"" : L"not Hours or empty";
}

std::wstring HotkeyCheck(std::wstring_view text) { return ReadHotkey(text).problem; }

std::wstring AlertUrlCheck(std::wstring_view text) { return text.empty() ? L"" : AlertUrlProblem(text); }

std::wstring AlertFormatCheck(std::wstring_view text) {
    return AlertFormatFrom(text) ? L"" : L"not Auto, Json, Text, Teams, Slack, Discord, Ntfy or Gotify";
}

std::wstring AlertAfterCheck(std::wstring_view text) {
    int const value = SmallNumber(text, 4);
    if (value >= 0 && value <= kMaxAlertAfterSeconds) return {};
    return L"not a whole number of seconds from 0 to " + std::to_wstring(kMaxAlertAfterSeconds);
}

// The keys of [Apps]; those of a program's section follow, from their own tables.
constexpr SettingKey kAppsKeys[] = {
    {kNumberKey, Apps, File},
    {kAppKeyPrefix, Apps, File, true},
    {kNoticesKey, Apps, FileOrPolicy, false, false, TrayOrBox},
    {kBackoffKey, Apps, FileOrPolicy, false, false, ZeroOrOne},
    {kHangSecondsKey, Apps, FileOrPolicy, false, false, HangSecondsCheck},
    {kEventLogKey, Apps, FileOrPolicy, false, false, ZeroOrOne},
    {kOnEventKey, Apps, FileOrPolicy, false, true},
    {kMetricsFileKey, Apps, FileOrPolicy},
    // The heartbeat, screenshots and the lock are read by their own parts of Vigilon.
    {kHeartbeatUrlKey, Apps, FileOrPolicy, false, true},
    {kHeartbeatSecondsKey, Apps, FileOrPolicy, false, false, HeartbeatSecondsCheck},
    {kScreenshotsKey, Apps, FileOrPolicy, false, false, ZeroOrOne},
    {kLockSettingsKey, Apps, PolicyOnly, false, false, ZeroOrOne},
    {kMenuHotkeyKey, Apps, FileOrPolicy, false, false, HotkeyCheck},
    {kDisplayOffKey, Apps, FileOrPolicy, false, false, DisplayOffCheck},
    // The lockout, the notice and the scheduled restart: read by the escalation keeper.
    {kMinUptimeKey, Apps, FileOrPolicy, false, false, MinUptimeCheck},
    {kMaxRebootsKey, Apps, FileOrPolicy, false, false, MaxRebootsCheck},
    {kEscalateNoticeKey, Apps, FileOrPolicy, false, false, EscalateNoticeCheck},
    {kRebootAtKey, Apps, FileOrPolicy, false, false, RebootAtCheck},
    {kRebootDaysKey, Apps, FileOrPolicy, false, false, RebootDaysCheck},
    // Alerts: the URL holds the webhook's secret, so it is named and never shown.
    {kAlertUrlKey, Apps, FileOrPolicy, false, true, AlertUrlCheck},
    {kAlertFormatKey, Apps, FileOrPolicy, false, false, AlertFormatCheck},
    {kAlertAfterKey, Apps, FileOrPolicy, false, false, AlertAfterCheck},
    {kAlertKindsKey, Apps, FileOrPolicy, false, false, AlertKindsProblem},
};

}  // namespace

std::span<SettingKey const> SettingKeys() {
    static std::vector<SettingKey> const keys = [] {
        std::vector<SettingKey> all(std::begin(kAppsKeys), std::end(kAppsKeys));
        for (ProgramField const& field : kProgramFields) all.push_back({field.key, Program, File});
        for (RuleKey const& rule : RuleKeys()) all.push_back({rule.name, Program, File, false, false, rule.problem});
        return all;
    }();
    return keys;
}

}  // namespace vigilon
