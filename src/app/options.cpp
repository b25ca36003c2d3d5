#include "app/options.h"

#include "app/key_value.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr wchar_t kAppsSection[] = L"Apps";
constexpr wchar_t kNoticesKey[] = L"Notices";
constexpr wchar_t kTrayNotices[] = L"Tray";
constexpr wchar_t kBoxNotices[] = L"Box";

}  // namespace

Options LoadOptions(SettingsFile const& settings, Registry& registry) {
    Options options;
    options.trayNotices = ToUpperText(settings.ReadIniValue(kAppsSection, kNoticesKey, kBoxNotices)) == L"TRAY";
    std::wstring run;
    options.startAtLogon = GetKeyValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, run);
    return options;
}

OptionsSaved SaveOptions(Options const& options, SettingsFile const& settings, Registry& registry,
                         std::wstring const& exePath) {
    OptionsSaved saved;
    saved.settings = settings.WriteIniValue(kAppsSection, kNoticesKey, options.trayNotices ? kTrayNotices : kBoxNotices);
    long const result = options.startAtLogon
                            ? registry.WriteString(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName,
                                                   L"\"" + exePath + L"\"")
                            : registry.DeleteValue(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName);
    saved.logon = result == 0;
    return saved;
}

}  // namespace vigilon
