#include "app/options.h"

#include <algorithm>

#include "app/restart_rules.h"
#include "app/setting_keys.h"
#include "app/setting_source.h"
#include "app/settings.h"
#include "support/digits.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr wchar_t kTrayNotices[] = L"Tray";
constexpr wchar_t kBoxNotices[] = L"Box";

// The check of an [Apps] key's policy value, from its row of SettingKeys().
PolicyCheck CheckOf(std::wstring_view name) {
    for (SettingKey const& key : SettingKeys()) {
        if (key.place == KeyPlace::Apps && key.name == name) return key.problem;
    }
    return nullptr;
}

}  // namespace

int HangSecondsFrom(std::wstring const& text) {
    int const value = LeadingNumber(text, kMaxHangSeconds);
    return value <= 0 ? 0 : std::max(value, kMinHangSeconds);
}

int HeartbeatSecondsFrom(std::wstring const& text) {
    int const value = LeadingNumber(text, kMaxHeartbeatSeconds);
    return value < 0 ? kDefaultHeartbeatSeconds : std::max(value, kMinHeartbeatSeconds);
}

std::vector<std::wstring_view> PolicyKeys() {
    std::vector<std::wstring_view> keys;
    for (SettingKey const& key : SettingKeys()) {
        if (key.Policy()) keys.push_back(key.name);
    }
    return keys;
}

Options LoadOptions(SettingsFile const& settings, Registry& registry) {
    Options options;
    auto read = [&](wchar_t const* key, wchar_t const* defaultValue, bool& locked) {
        SettingValue value = ReadAppsSetting(settings, registry, key, defaultValue, CheckOf(key));
        locked = value.FromPolicy();
        return std::move(value.text);
    };
    options.trayNotices = SameText(read(kNoticesKey, kBoxNotices, options.locked.notices), kTrayNotices);
    options.backoff = read(kBackoffKey, L"0", options.locked.backoff) == L"1";
    options.hangSeconds = HangSecondsFrom(read(kHangSecondsKey, L"0", options.locked.hangSeconds));
    options.eventLog = read(kEventLogKey, L"0", options.locked.eventLog) == L"1";
    options.onEvent = read(kOnEventKey, L"", options.locked.onEvent);
    options.metricsFile = read(kMetricsFileKey, L"", options.locked.metricsFile);
    options.heartbeatUrl = read(kHeartbeatUrlKey, L"", options.locked.heartbeatUrl);
    options.heartbeatSeconds =
        HeartbeatSecondsFrom(read(kHeartbeatSecondsKey, L"60", options.locked.heartbeatSeconds));
    options.screenshots = read(kScreenshotsKey, L"0", options.locked.screenshots) == L"1";
    options.displayOff = SameText(read(kDisplayOffKey, L"", options.locked.displayOff), kDisplayOffHours);
    EscalationOptions& escalation = options.escalation;
    escalation.minUptimeMinutes = MinUptimeFrom(read(kMinUptimeKey, L"", options.locked.minUptime));
    escalation.maxReboots = MaxRebootsFrom(read(kMaxRebootsKey, L"", options.locked.maxReboots));
    escalation.noticeSeconds = EscalateNoticeFrom(read(kEscalateNoticeKey, L"", options.locked.escalateNotice));
    escalation.rebootAt = RebootAtFrom(read(kRebootAtKey, L"", options.locked.rebootAt));
    escalation.rebootDays = RebootDaysFrom(read(kRebootDaysKey, L"", options.locked.rebootDays));
    options.alertUrl = read(kAlertUrlKey, L"", options.locked.alertUrl);
    options.alertFormat =
        AlertFormatFrom(read(kAlertFormatKey, L"Auto", options.locked.alertFormat)).value_or(AlertFormat::Auto);
    options.alertAfter = AlertAfterFrom(read(kAlertAfterKey, L"60", options.locked.alertAfter));
    options.alertKinds = read(kAlertKindsKey, L"", options.locked.alertKinds);
    bool fromPolicy = false;
    bool hotkeyFromPolicy = false;
    options.menuHotkey = read(kMenuHotkeyKey, L"", hotkeyFromPolicy);
    options.settingsLocked = read(kLockSettingsKey, L"0", fromPolicy) == L"1" && fromPolicy;
    return options;
}

bool SaveOptions(Options const& options, SettingsFile const& settings) {
    // All keys into one copy of the file, which then replaces it whole.
    SettingsUpdate update(settings);
    if (!update.Ready()) return false;
    bool saved = true;
    auto write = [&](bool locked, wchar_t const* key, std::wstring const& value) {
        if (!locked) saved &= update.Copy().WriteIniValue(kAppsSection, key, value);
    };
    write(options.locked.notices, kNoticesKey, options.trayNotices ? kTrayNotices : kBoxNotices);
    write(options.locked.backoff, kBackoffKey, options.backoff ? L"1" : L"0");
    write(options.locked.hangSeconds, kHangSecondsKey, std::to_wstring(options.hangSeconds));
    write(options.locked.eventLog, kEventLogKey, options.eventLog ? L"1" : L"0");
    write(options.locked.onEvent, kOnEventKey, options.onEvent);
    // The alert keys only while they say something: a file without alerts stays without them.
    auto writeOrRemove = [&](bool locked, wchar_t const* key, std::wstring const& value, bool isDefault) {
        if (locked) return;
        saved &= isDefault ? update.Copy().RemoveIniValue(kAppsSection, key)
                           : update.Copy().WriteIniValue(kAppsSection, key, value);
    };
    writeOrRemove(options.locked.alertUrl, kAlertUrlKey, options.alertUrl, options.alertUrl.empty());
    writeOrRemove(options.locked.alertFormat, kAlertFormatKey, std::wstring(AlertFormatName(options.alertFormat)),
                  options.alertFormat == AlertFormat::Auto);
    writeOrRemove(options.locked.alertAfter, kAlertAfterKey, std::to_wstring(options.alertAfter),
                  options.alertAfter == kDefaultAlertAfterSeconds);
    // DisplayOff is off by default: unchecked, the key goes.
    writeOrRemove(options.locked.displayOff, kDisplayOffKey, kDisplayOffHours, !options.displayOff);
    // The escalation keys likewise: a file that never set them stays without them.
    Options::Locks const& locked = options.locked;
    EscalationOptions const& escalation = options.escalation;
    writeOrRemove(locked.minUptime, kMinUptimeKey, std::to_wstring(escalation.minUptimeMinutes),
                  escalation.minUptimeMinutes == kDefaultMinUptime);
    writeOrRemove(locked.maxReboots, kMaxRebootsKey, std::to_wstring(escalation.maxReboots),
                  escalation.maxReboots == kDefaultMaxReboots);
    writeOrRemove(locked.escalateNotice, kEscalateNoticeKey, std::to_wstring(escalation.noticeSeconds),
                  escalation.noticeSeconds == kDefaultEscalateNotice);
    writeOrRemove(locked.rebootAt, kRebootAtKey, escalation.rebootAt ? FormatRestartTimes({*escalation.rebootAt}) : L"",
                  !escalation.rebootAt);
    writeOrRemove(locked.rebootDays, kRebootDaysKey, RebootDaysText(escalation.rebootDays),
                  escalation.rebootDays == kEveryDay);
    return saved && update.Commit();
}

std::wstring ChangedOptions(Options const& before, Options const& after) {
    std::wstring changed;
    auto note = [&](bool differs, wchar_t const* key, std::wstring const& value) {
        if (!differs) return;
        if (!changed.empty()) changed += L", ";
        changed += key + (value.empty() ? std::wstring() : L"=" + value);
    };
    note(before.trayNotices != after.trayNotices, kNoticesKey, after.trayNotices ? kTrayNotices : kBoxNotices);
    note(before.backoff != after.backoff, kBackoffKey, after.backoff ? L"1" : L"0");
    note(before.hangSeconds != after.hangSeconds, kHangSecondsKey, std::to_wstring(after.hangSeconds));
    note(before.eventLog != after.eventLog, kEventLogKey, after.eventLog ? L"1" : L"0");
    // Named, not shown: it may hold a token.
    note(before.onEvent != after.onEvent, kOnEventKey, L"");
    note(before.metricsFile != after.metricsFile, kMetricsFileKey, after.metricsFile);
    note(before.heartbeatUrl != after.heartbeatUrl, kHeartbeatUrlKey, L"");
    note(before.heartbeatSeconds != after.heartbeatSeconds, kHeartbeatSecondsKey, std::to_wstring(after.heartbeatSeconds));
    note(before.screenshots != after.screenshots, kScreenshotsKey, after.screenshots ? L"1" : L"0");
    note(before.menuHotkey != after.menuHotkey, kMenuHotkeyKey, after.menuHotkey);
    note(before.displayOff != after.displayOff, kDisplayOffKey, after.displayOff ? kDisplayOffHours : L"");
    EscalationOptions const& was = before.escalation;
    EscalationOptions const& is = after.escalation;
    note(was.minUptimeMinutes != is.minUptimeMinutes, kMinUptimeKey, std::to_wstring(is.minUptimeMinutes));
    note(was.maxReboots != is.maxReboots, kMaxRebootsKey, std::to_wstring(is.maxReboots));
    note(was.noticeSeconds != is.noticeSeconds, kEscalateNoticeKey, std::to_wstring(is.noticeSeconds));
    note(was.rebootAt != is.rebootAt, kRebootAtKey, is.rebootAt ? FormatRestartTimes({*is.rebootAt}) : L"");
    note(was.rebootDays != is.rebootDays, kRebootDaysKey, RebootDaysText(is.rebootDays));
    note(before.alertUrl != after.alertUrl, kAlertUrlKey, L"");
    note(before.alertFormat != after.alertFormat, kAlertFormatKey, std::wstring(AlertFormatName(after.alertFormat)));
    note(before.alertAfter != after.alertAfter, kAlertAfterKey, std::to_wstring(after.alertAfter));
    note(before.alertKinds != after.alertKinds, kAlertKindsKey, after.alertKinds);
    return changed;
}

std::wstring PolicySummary(SettingsFile const& settings, Registry& registry) {
    std::wstring summary;
    for (SettingKey const& setting : SettingKeys()) {
        if (!setting.Policy()) continue;
        std::wstring_view const key = setting.name;
        std::vector<PassedOverPolicy> passedOver;
        SettingValue const value = ReadAppsSetting(settings, registry, key, L"", setting.problem, &passedOver);
        // A command line or a URL is named, not shown, refused or not: it may hold a token, and the
        // event log is read widely.
        for (PassedOverPolicy const& ignored : passedOver) {
            if (!summary.empty()) summary += L", ";
            summary += std::wstring(key) + (setting.secret ? L"" : L"=" + ignored.text) + L" (" +
                       std::wstring(SourceName(ignored.source)) + L") ignored: " + ignored.reason;
        }
        if (!value.FromPolicy()) continue;
        if (!summary.empty()) summary += L", ";
        summary += std::wstring(key) + (setting.secret ? L"" : L"=" + value.text) + L" (" +
                   std::wstring(SourceName(value.source)) + L")";
    }
    return summary;
}

}  // namespace vigilon
