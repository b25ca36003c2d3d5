#include "app/setting_source.h"

#include <array>
#include <span>

#include "app/key_value.h"
#include "app/registry_key.h"
#include "app/settings.h"

namespace vigilon {
namespace {

// A policy's value as text: a string (an expandable one as written: the command interpreter
// expands it when it runs) up to its first NUL, or a 32-bit number. A value of another type is no
// policy, and the next place is read, rather than holding the setting at an empty value.
bool ReadPolicyValue(Registry& registry, RegistryRoot root, std::wstring_view name, std::wstring& text) {
    RegistryKey key(registry);
    if (key.Open(root, kPolicyKeyPath, kKeyReadAccess) != 0) return false;
    std::array<std::uint8_t, kKeyValueBufferBytes> buffer{};
    std::uint32_t type = 0;
    std::size_t size = buffer.size();
    if (registry.QueryValue(key.Handle(), name, type, buffer, size) != 0) return false;
    if (type != kRegSz && type != kRegExpandSz && type != kRegDword) return false;
    std::span<std::uint8_t const> const data(buffer.data(), std::min(size, buffer.size()));
    DecodeKeyValue(type == kRegDword ? kRegDword : kRegSz, data, text);
    text.resize(std::wcslen(text.c_str()));
    return true;
}

}  // namespace

SettingValue ReadAppsSetting(SettingsFile const& settings, Registry& registry, std::wstring_view key,
                             std::wstring_view defaultValue, PolicyCheck check,
                             std::vector<PassedOverPolicy>* passedOver) {
    for (auto const& [root, source] : {std::pair{RegistryRoot::LocalMachine, SettingSource::MachinePolicy},
                                      std::pair{RegistryRoot::CurrentUser, SettingSource::UserPolicy}}) {
        std::wstring text;
        if (!ReadPolicyValue(registry, root, key, text)) continue;
        std::wstring const reason = check != nullptr ? check(text) : std::wstring();
        if (reason.empty()) return {text, source};
        if (passedOver != nullptr) passedOver->push_back({source, text, reason});
    }
    if (std::optional<std::wstring> text = settings.FindIniValue(kAppsSection, key)) {
        return {std::move(*text), SettingSource::File};
    }
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
