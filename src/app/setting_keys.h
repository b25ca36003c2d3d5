#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vigilon {

// The [Apps] keys of the options, by the names the file and the policies give them.
inline constexpr wchar_t kNoticesKey[] = L"Notices";
inline constexpr wchar_t kBackoffKey[] = L"Backoff";
inline constexpr wchar_t kHangSecondsKey[] = L"HangSeconds";
inline constexpr wchar_t kEventLogKey[] = L"EventLog";
inline constexpr wchar_t kOnEventKey[] = L"OnEvent";
inline constexpr wchar_t kMetricsFileKey[] = L"MetricsFile";
inline constexpr wchar_t kHeartbeatUrlKey[] = L"HeartbeatUrl";
inline constexpr wchar_t kHeartbeatSecondsKey[] = L"HeartbeatSeconds";
inline constexpr wchar_t kScreenshotsKey[] = L"Screenshots";
inline constexpr wchar_t kLockSettingsKey[] = L"LockSettings";
inline constexpr wchar_t kMenuHotkeyKey[] = L"MenuHotkey";
inline constexpr wchar_t kDisplayOffKey[] = L"DisplayOff";
inline constexpr wchar_t kAlertUrlKey[] = L"AlertUrl";
inline constexpr wchar_t kAlertFormatKey[] = L"AlertFormat";
inline constexpr wchar_t kAlertAfterKey[] = L"AlertAfter";
inline constexpr wchar_t kAlertKindsKey[] = L"AlertKinds";

// Where a key is read: the [Apps] section, or the section named after a program.
enum class KeyPlace : std::uint8_t { Apps, Program };

// Who may set a key: vigilon.ini, an administrator's policy as well, or only a policy.
enum class KeySetBy : std::uint8_t { File, FileOrPolicy, PolicyOnly };

struct SettingKey {
    std::wstring_view name;  // for a numbered key, the text before the number ("App" of App1, App2, ...)
    KeyPlace place;
    KeySetBy setBy;
    bool numbered = false;   // one key per program: the name followed by the program's number
    bool secret = false;     // may hold a password or a token: named where settings are listed, never shown
    // Why a value cannot be used: an option's check says it whole ("not 0 or 1"), a rule key's
    // what the key takes ("Always or Failure"). None for a key that takes any text.
    std::wstring (*problem)(std::wstring_view value) = nullptr;

    bool InFile() const { return setBy != KeySetBy::PolicyOnly; }
    bool Policy() const { return setBy != KeySetBy::File; }
};

// Every key Vigilon reads from vigilon.ini and from the policies, once each, a program's rule
// keys taken from RuleKeys(). The readers take their names from here, and the settings reference
// is checked against this list.
std::span<SettingKey const> SettingKeys();

}  // namespace vigilon
