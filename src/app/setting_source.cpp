#include "app/setting_source.h"

#include "app/key_value.h"

namespace vigilon {
namespace {

constexpr wchar_t const* kPolicyKeys[] = {L"Notices", L"Backoff", L"HangSeconds", L"EventLog", L"OnEvent"};

}  // namespace

std::span<wchar_t const* const> PolicyKeys() { return kPolicyKeys; }

SettingValue ReadAppsSetting(SettingsFile const& settings, Registry& registry, std::wstring_view key,
                             std::wstring_view defaultValue) {
    for (auto const& [root, source] : {std::pair{RegistryRoot::LocalMachine, SettingSource::MachinePolicy},
                                      std::pair{RegistryRoot::CurrentUser, SettingSource::UserPolicy}}) {
        std::wstring text;
        if (GetKeyValue(registry, root, kPolicyKeyPath, key, text)) return {text, source};
    }
    // No key gives the default back: a text no value holds tells the two apart.
    constexpr wchar_t kAbsent[] = L"\x01";
    std::wstring text = settings.ReadIniValue(L"Apps", key, kAbsent);
    if (text != kAbsent) return {std::move(text), SettingSource::File};
    return {std::wstring(defaultValue), SettingSource::Default};
}

std::wstring_view SourceName(SettingSource source) {
    switch (source) {
    case SettingSource::MachinePolicy: return L"machine policy";
    case SettingSource::UserPolicy: return L"user policy";
    case SettingSource::File: return L"vigilon.ini";
    case SettingSource::Default: return L"default";
    }
    return L"";
}

}  // namespace vigilon
