#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/settings_file.h"
#include "platform/registry.h"

namespace vigilon {

// Where a setting's value came from.
enum class SettingSource : std::uint8_t { Default, File, UserPolicy, MachinePolicy };

struct SettingValue {
    std::wstring text;
    SettingSource source = SettingSource::Default;

    // Set by an administrator's policy: shown greyed, and never written to the settings file.
    bool FromPolicy() const { return source == SettingSource::UserPolicy || source == SettingSource::MachinePolicy; }
};

// Policies live under this key of HKEY_LOCAL_MACHINE and of HKEY_CURRENT_USER, with the [Apps]
// keys' names: text as a string value, numbers as a string or a DWORD.
inline constexpr wchar_t kPolicyKeyPath[] = L"Software\\Policies\\Vigilon";

// Why a policy's text cannot be used for a setting ("not 0 or 1"); empty when it can.
using PolicyCheck = std::wstring (*)(std::wstring_view text);

// A policy value passed over, for the history.
struct PassedOverPolicy {
    SettingSource source;
    std::wstring text;
    std::wstring reason;
};

// The one place a setting's value is read: the machine's policy, then the user's, then the [Apps]
// key of vigilon.ini, then `defaultValue`. A policy value `check` refuses is passed over, so the
// next place is read, and added to `passedOver` when that is given.
SettingValue ReadAppsSetting(SettingsFile const& settings, Registry& registry, std::wstring_view key,
                             std::wstring_view defaultValue, PolicyCheck check = nullptr,
                             std::vector<PassedOverPolicy>* passedOver = nullptr);

// The words the history uses for a source: "machine policy", "user policy".
std::wstring_view SourceName(SettingSource source);

}  // namespace vigilon
