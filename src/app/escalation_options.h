#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vigilon {

// The [Apps] keys of the PC-wide part of escalation: the lockout, the notice and the scheduled restart.
inline constexpr wchar_t kMinUptimeKey[] = L"MinUptime";
inline constexpr wchar_t kMaxRebootsKey[] = L"MaxReboots";
inline constexpr wchar_t kEscalateNoticeKey[] = L"EscalateNotice";
inline constexpr wchar_t kRebootAtKey[] = L"RebootAt";
inline constexpr wchar_t kRebootDaysKey[] = L"RebootDays";

inline constexpr int kDefaultMinUptime = 15;  // minutes
inline constexpr int kLeastMinUptime = 5;
inline constexpr int kMostMinUptime = 1440;
inline constexpr int kDefaultMaxReboots = 3;  // in 24 hours
inline constexpr int kMostMaxReboots = 100;
inline constexpr int kDefaultEscalateNotice = 60;  // seconds
inline constexpr int kMostEscalateNotice = 600;
inline constexpr unsigned kEveryDay = 0x7F;  // one bit per weekday, Sunday the lowest

// What the escalation keeper is told of the options.
struct EscalationOptions {
    int minUptimeMinutes = kDefaultMinUptime;  // MinUptime=N: no session ended within N minutes of the PC's start
    int maxReboots = kDefaultMaxReboots;       // MaxReboots=N: no more than N sessions ended in 24 hours
    int noticeSeconds = kDefaultEscalateNotice;  // EscalateNotice=N: the countdown before one is, 0 to 600
    std::optional<int> rebootAt;               // RebootAt=hh:mm, minutes after midnight: the PC restarts then
    unsigned rebootDays = kEveryDay;           // RebootDays=Mon,Wed,...: on these days only

    bool operator==(EscalationOptions const&) const = default;
};

// Each key's value as the user wrote it, read leniently as the other number options are: a number
// out of range is held to it, and no number gives the default. RebootAt and RebootDays that cannot
// be read leave the restart off and every day.
int MinUptimeFrom(std::wstring_view text);
int MaxRebootsFrom(std::wstring_view text);
int EscalateNoticeFrom(std::wstring_view text);
std::optional<int> RebootAtFrom(std::wstring_view text);
unsigned RebootDaysFrom(std::wstring_view text);

// Why a value cannot be used, as the settings check and the policies say it; empty when it can.
std::wstring MinUptimeCheck(std::wstring_view text);
std::wstring MaxRebootsCheck(std::wstring_view text);
std::wstring EscalateNoticeCheck(std::wstring_view text);
std::wstring RebootAtCheck(std::wstring_view text);
std::wstring RebootDaysCheck(std::wstring_view text);

// The days in the form RebootDays is written ("Mon, Wed, Fri"); empty for every day.
std::wstring RebootDaysText(unsigned days);

}  // namespace vigilon
