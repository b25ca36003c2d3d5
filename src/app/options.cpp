#include "app/options.h"

#include <algorithm>

#include "app/key_value.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr wchar_t kAppsSection[] = L"Apps";
constexpr wchar_t kNoticesKey[] = L"Notices";
constexpr wchar_t kTrayNotices[] = L"Tray";
constexpr wchar_t kBoxNotices[] = L"Box";
constexpr wchar_t kBackoffKey[] = L"Backoff";
constexpr wchar_t kHangSecondsKey[] = L"HangSeconds";

long WriteRunValue(Registry& registry, std::wstring const& exePath) {
    return registry.WriteString(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, L"\"" + exePath + L"\"");
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

Options LoadOptions(SettingsFile const& settings, Registry& registry) {
    Options options;
    options.trayNotices = ToUpperText(settings.ReadIniValue(kAppsSection, kNoticesKey, kBoxNotices)) == L"TRAY";
    options.backoff = settings.ReadIniValue(kAppsSection, kBackoffKey, L"0") == L"1";
    options.hangSeconds = HangSecondsFrom(settings.ReadIniValue(kAppsSection, kHangSecondsKey, L"0"));
    std::wstring run;
    options.startAtLogon = GetKeyValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, run);
    return options;
}

OptionsSaved SaveOptions(Options const& options, SettingsFile const& settings, Registry& registry,
                         std::wstring const& exePath) {
    OptionsSaved saved;
    saved.settings = settings.WriteIniValue(kAppsSection, kNoticesKey, options.trayNotices ? kTrayNotices : kBoxNotices);
    saved.settings &= settings.WriteIniValue(kAppsSection, kBackoffKey, options.backoff ? L"1" : L"0");
    saved.settings &= settings.WriteIniValue(kAppsSection, kHangSecondsKey, std::to_wstring(options.hangSeconds));
    long const result = options.startAtLogon ? WriteRunValue(registry, exePath)
                                             : registry.DeleteValue(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName);
    saved.logon = result == 0;
    return saved;
}

bool ForgetStartAtLogon(Registry& registry, std::wstring const& exePath) {
    std::wstring run;
    if (!GetKeyValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, run)) return true;
    std::wstring_view path = run;
    std::size_t const first = path.find_first_not_of(L" \t\"");
    std::size_t const last = path.find_last_not_of(L" \t\"");
    path = first == std::wstring_view::npos ? std::wstring_view() : path.substr(first, last - first + 1);
    if (ToLowerText(path) != ToLowerText(exePath)) return true;
    return registry.DeleteValue(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName) == 0;
}

bool SetStartAtLogonIfMissing(Registry& registry, std::wstring const& exePath) {
    std::wstring run;
    if (GetKeyValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, run)) return true;
    return WriteRunValue(registry, exePath) == 0;
}

}  // namespace vigilon
