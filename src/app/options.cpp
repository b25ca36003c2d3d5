#include "app/options.h"

#include <algorithm>

#include "app/setting_source.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr wchar_t kAppsSection[] = L"Apps";
constexpr wchar_t kNoticesKey[] = L"Notices";
constexpr wchar_t kTrayNotices[] = L"Tray";
constexpr wchar_t kBoxNotices[] = L"Box";
constexpr wchar_t kBackoffKey[] = L"Backoff";
constexpr wchar_t kHangSecondsKey[] = L"HangSeconds";
constexpr wchar_t kEventLogKey[] = L"EventLog";
constexpr wchar_t kOnEventKey[] = L"OnEvent";
constexpr wchar_t const* kPolicyKeys[] = {kNoticesKey, kBackoffKey, kHangSecondsKey, kEventLogKey, kOnEventKey};

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

std::span<wchar_t const* const> PolicyKeys() { return kPolicyKeys; }

Options LoadOptions(SettingsFile const& settings, Registry& registry) {
    Options options;
    auto read = [&](wchar_t const* key, wchar_t const* defaultValue, bool& locked) {
        SettingValue value = ReadAppsSetting(settings, registry, key, defaultValue);
        locked = value.FromPolicy();
        return std::move(value.text);
    };
    options.trayNotices = ToUpperText(read(kNoticesKey, kBoxNotices, options.locked.notices)) == L"TRAY";
    options.backoff = read(kBackoffKey, L"0", options.locked.backoff) == L"1";
    options.hangSeconds = HangSecondsFrom(read(kHangSecondsKey, L"0", options.locked.hangSeconds));
    options.eventLog = read(kEventLogKey, L"0", options.locked.eventLog) == L"1";
    options.onEvent = read(kOnEventKey, L"", options.locked.onEvent);
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

std::wstring PolicySummary(SettingsFile const& settings, Registry& registry) {
    std::wstring summary;
    for (wchar_t const* key : PolicyKeys()) {
        SettingValue const value = ReadAppsSetting(settings, registry, key, L"");
        if (!value.FromPolicy()) continue;
        if (!summary.empty()) summary += L", ";
        // The command line is named, not shown: it may hold a token, and the event log is read widely.
        summary += std::wstring(key) + (key == std::wstring_view(kOnEventKey) ? L"" : L"=" + value.text) + L" (" +
                   std::wstring(SourceName(value.source)) + L")";
    }
    return summary;
}

}  // namespace vigilon
