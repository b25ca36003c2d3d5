#include "app/options.h"

#include <algorithm>

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

Options LoadOptions(SettingsFile const& settings) {
    Options options;
    options.trayNotices = ToUpperText(settings.ReadIniValue(kAppsSection, kNoticesKey, kBoxNotices)) == L"TRAY";
    options.backoff = settings.ReadIniValue(kAppsSection, kBackoffKey, L"0") == L"1";
    options.hangSeconds = HangSecondsFrom(settings.ReadIniValue(kAppsSection, kHangSecondsKey, L"0"));
    options.eventLog = settings.ReadIniValue(kAppsSection, kEventLogKey, L"0") == L"1";
    options.onEvent = settings.ReadIniValue(kAppsSection, kOnEventKey, L"");
    return options;
}

bool SaveOptions(Options const& options, SettingsFile const& settings) {
    bool saved = settings.WriteIniValue(kAppsSection, kNoticesKey, options.trayNotices ? kTrayNotices : kBoxNotices);
    saved &= settings.WriteIniValue(kAppsSection, kBackoffKey, options.backoff ? L"1" : L"0");
    saved &= settings.WriteIniValue(kAppsSection, kHangSecondsKey, std::to_wstring(options.hangSeconds));
    saved &= settings.WriteIniValue(kAppsSection, kEventLogKey, options.eventLog ? L"1" : L"0");
    saved &= settings.WriteIniValue(kAppsSection, kOnEventKey, options.onEvent);
    return saved;
}

}  // namespace vigilon
