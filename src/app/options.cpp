#include "app/options.h"

#include <algorithm>

#include "app/hotkey.h"
#include "app/setting_keys.h"
#include "app/setting_source.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr wchar_t kAppsSection[] = L"Apps";
constexpr wchar_t kTrayNotices[] = L"Tray";
constexpr wchar_t kBoxNotices[] = L"Box";

std::wstring ZeroOrOne(std::wstring const& text) {
    return text == L"0" || text == L"1" ? L"" : L"not 0 or 1";
}

std::wstring TrayOrBox(std::wstring const& text) {
    std::wstring const upper = ToUpperText(text);
    return upper == L"TRAY" || upper == L"BOX" ? L"" : L"not Tray or Box";
}

std::wstring HangSecondsCheck(std::wstring const& text) {
    bool const digits = !text.empty() && text.size() <= 4 &&
                        std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    int const value = digits ? std::stoi(text) : -1;
    if (value == 0 || (value >= kMinHangSeconds && value <= kMaxHangSeconds)) return {};
    return L"not 0 or a whole number of seconds from " + std::to_wstring(kMinHangSeconds) + L" to " +
           std::to_wstring(kMaxHangSeconds);
}

std::wstring HeartbeatSecondsCheck(std::wstring const& text) {
    bool const digits = !text.empty() && text.size() <= 4 &&
                        std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    int const value = digits ? std::stoi(text) : -1;
    if (value >= kMinHeartbeatSeconds && value <= kMaxHeartbeatSeconds) return {};
    return L"not a whole number of seconds from " + std::to_wstring(kMinHeartbeatSeconds) + L" to " +
           std::to_wstring(kMaxHeartbeatSeconds);
}

std::wstring HotkeyCheck(std::wstring const& text) { return ReadHotkey(text).problem; }

// The check of each key's policy value; the command line takes any text.
PolicyCheck CheckOf(std::wstring_view key) {
    if (key == kNoticesKey) return TrayOrBox;
    if (key == kBackoffKey || key == kEventLogKey || key == kScreenshotsKey || key == kLockSettingsKey) return ZeroOrOne;
    if (key == kHangSecondsKey) return HangSecondsCheck;
    if (key == kHeartbeatSecondsKey) return HeartbeatSecondsCheck;
    if (key == kMenuHotkeyKey) return HotkeyCheck;
    return nullptr;
}

}  // namespace

int HangSecondsFrom(std::wstring const& text) {
    std::size_t i = text.find_first_not_of(L" \t");
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - L'0'), kMaxHangSeconds);
    }
    if (value <= 0) return 0;
    return static_cast<int>(std::max<long long>(value, kMinHangSeconds));
}

int HeartbeatSecondsFrom(std::wstring const& text) {
    std::size_t i = text.find_first_not_of(L" \t");
    if (i == std::wstring::npos || text[i] < L'0' || text[i] > L'9') return kDefaultHeartbeatSeconds;
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - L'0'), kMaxHeartbeatSeconds);
    }
    return static_cast<int>(std::max<long long>(value, kMinHeartbeatSeconds));
}

std::wstring OptionValueProblem(std::wstring_view key, std::wstring const& text) {
    PolicyCheck const check = CheckOf(key);
    return check == nullptr ? std::wstring() : check(text);
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
    options.trayNotices = ToUpperText(read(kNoticesKey, kBoxNotices, options.locked.notices)) == L"TRAY";
    options.backoff = read(kBackoffKey, L"0", options.locked.backoff) == L"1";
    options.hangSeconds = HangSecondsFrom(read(kHangSecondsKey, L"0", options.locked.hangSeconds));
    options.eventLog = read(kEventLogKey, L"0", options.locked.eventLog) == L"1";
    options.onEvent = read(kOnEventKey, L"", options.locked.onEvent);
    options.metricsFile = read(kMetricsFileKey, L"", options.locked.metricsFile);
    options.heartbeatUrl = read(kHeartbeatUrlKey, L"", options.locked.heartbeatUrl);
    options.heartbeatSeconds =
        HeartbeatSecondsFrom(read(kHeartbeatSecondsKey, L"60", options.locked.heartbeatSeconds));
    options.screenshots = read(kScreenshotsKey, L"0", options.locked.screenshots) == L"1";
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
    return changed;
}

std::wstring PolicySummary(SettingsFile const& settings, Registry& registry) {
    std::wstring summary;
    for (SettingKey const& setting : SettingKeys()) {
        if (!setting.Policy()) continue;
        std::wstring_view const key = setting.name;
        std::vector<PassedOverPolicy> passedOver;
        SettingValue const value = ReadAppsSetting(settings, registry, key, L"", CheckOf(key), &passedOver);
        for (PassedOverPolicy const& ignored : passedOver) {
            if (!summary.empty()) summary += L", ";
            summary += std::wstring(key) + L"=" + ignored.text + L" (" + std::wstring(SourceName(ignored.source)) +
                       L") ignored: " + ignored.reason;
        }
        if (!value.FromPolicy()) continue;
        if (!summary.empty()) summary += L", ";
        // A command line or a URL is named, not shown: it may hold a token, and the event log is read widely.
        summary += std::wstring(key) + (setting.secret ? L"" : L"=" + value.text) + L" (" +
                   std::wstring(SourceName(value.source)) + L")";
    }
    return summary;
}

}  // namespace vigilon
