#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigilon {

// A program's restart rules as its section of the settings file holds them, each key's text as
// written; empty when the key is not there. Rules are off unless set.
struct RestartRules {
    std::wstring maxMemoryMB;  // MaxMemoryMB=N: restart when its memory stays above N MB for a minute
    std::wstring restartAt;    // RestartAt=hh:mm[,hh:mm...]: restart every day at these local times
    std::wstring crashDialog;  // CrashDialog=0: start it so that a crash ends it without the system's dialog
    std::wstring show;         // Show=Hidden|Normal|Maximized|FullScreen: how its window is kept
    std::wstring monitor;      // Monitor=primary or a display's stable identity: where its window is kept
    std::wstring onTop;        // OnTop=1: its window is kept topmost
    std::wstring startDelay;   // StartDelay=N: its first start waits N seconds (0 to 3600)
    std::wstring startAfter;   // StartAfter=<name>: its first start waits for that program's window
    std::wstring waitFor;      // WaitFor=<path or host:port>: its start waits until that is there
    std::wstring waitSeconds;  // WaitSeconds=N: the longest a start waits (default 120)
    std::wstring restart;      // Restart=Always|Failure: whether a program that exits with 0 is started again

    bool operator==(RestartRules const&) const = default;
};

inline constexpr wchar_t kMaxMemoryKey[] = L"MaxMemoryMB";
inline constexpr wchar_t kRestartAtKey[] = L"RestartAt";
inline constexpr wchar_t kCrashDialogKey[] = L"CrashDialog";
inline constexpr wchar_t kShowKey[] = L"Show";
inline constexpr wchar_t kMonitorKey[] = L"Monitor";
inline constexpr wchar_t kOnTopKey[] = L"OnTop";
inline constexpr wchar_t kStartDelayKey[] = L"StartDelay";
inline constexpr wchar_t kStartAfterKey[] = L"StartAfter";
inline constexpr wchar_t kWaitForKey[] = L"WaitFor";
inline constexpr wchar_t kWaitSecondsKey[] = L"WaitSeconds";
inline constexpr wchar_t kRestartKey[] = L"Restart";

// The largest memory limit taken, in MB: a terabyte.
inline constexpr int kMaxMemoryLimitMB = 1'048'576;

// A rule read from its text: the value, or nothing with a reason when the text cannot be used.
template <typename T>
struct RuleValue {
    std::optional<T> value;  // empty: the rule is off (no text) or refused (a reason is given)
    std::wstring problem;    // why the text cannot be used; empty when it can, or when there is none
};

// MaxMemoryMB: a whole number of megabytes from 1 to kMaxMemoryLimitMB.
RuleValue<int> ParseMemoryLimit(std::wstring_view text);

// RestartAt: one or more times hh:mm (h or hh, 0 to 23; mm, 00 to 59) separated by commas, in
// minutes after midnight, each once and in order.
RuleValue<std::vector<int>> ParseRestartTimes(std::wstring_view text);

// CrashDialog: "0" starts the program without the crash dialog; "1" or nothing keeps it.
RuleValue<bool> ParseCrashDialog(std::wstring_view text);

// The times in the form RestartAt is written: "03:30, 12:00".
std::wstring FormatRestartTimes(std::vector<int> const& minutes);

}  // namespace vigilon
