#pragma once

#include <cstdint>
#include <optional>
#include <span>
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
    std::wstring check;          // Check=http(s)://...|tcp:host:port|file:<path>|window:<text>|run:<command>: whether it works
    std::wstring checkText;      // CheckText=<text>: an http check's body must hold it
    std::wstring checkAge;       // CheckAge=N: a file check's file must have been written within N seconds
    std::wstring checkSeconds;   // CheckSeconds=N: between checks (5 to 3600, default 30)
    std::wstring checkTimeout;   // CheckTimeout=N: a check's limit (1 to 120, default 10)
    std::wstring checkGrace;     // CheckGrace=N: after its window is found, before a check counts (0 to 3600, default 60)
    std::wstring checkFailures;  // CheckFailures=N: failures in a row before anything is done (1 to 100, default 3)
    std::wstring checkAction;    // CheckAction=Restart|Report: what follows those failures
    std::wstring window;         // Window=None: the program shows no window; it runs while a process of its EXE does
    std::wstring process;        // Process=<full path or file name>: its window's process runs this image
    std::wstring windowClass;    // Class=<class name>: its window is of this class
    std::wstring captionMatch;   // CaptionMatch=Start|Contains|End|Exact: how Caption is compared
    std::wstring escalate;         // Escalate=<count>:<action>[,...]: what follows that many troubles within the minutes
    std::wstring escalateMinutes;  // EscalateMinutes=M: the troubles counted are those of the last M minutes (1 to 1440, default 60)
    std::wstring hours;          // Hours=[days] hh:mm-hh:mm[; ...]: it runs only inside these local hours
    std::wstring idleRestart;    // IdleRestart=N: restarted once when nobody used the PC for N minutes (1 to 1440)

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
inline constexpr wchar_t kCheckKey[] = L"Check";
inline constexpr wchar_t kCheckTextKey[] = L"CheckText";
inline constexpr wchar_t kCheckAgeKey[] = L"CheckAge";
inline constexpr wchar_t kCheckSecondsKey[] = L"CheckSeconds";
inline constexpr wchar_t kCheckTimeoutKey[] = L"CheckTimeout";
inline constexpr wchar_t kCheckGraceKey[] = L"CheckGrace";
inline constexpr wchar_t kCheckFailuresKey[] = L"CheckFailures";
inline constexpr wchar_t kCheckActionKey[] = L"CheckAction";
inline constexpr wchar_t kWindowKey[] = L"Window";
inline constexpr wchar_t kProcessKey[] = L"Process";
inline constexpr wchar_t kClassKey[] = L"Class";
inline constexpr wchar_t kCaptionMatchKey[] = L"CaptionMatch";
inline constexpr wchar_t kEscalateKey[] = L"Escalate";
inline constexpr wchar_t kEscalateMinutesKey[] = L"EscalateMinutes";
inline constexpr wchar_t kHoursKey[] = L"Hours";
inline constexpr wchar_t kIdleRestartKey[] = L"IdleRestart";

// One key of a program's section that holds a rule: its name, the field that holds its text,
// and why a text cannot be used for it, as its parser says it ("Hidden, Normal, Maximized or
// FullScreen"; empty when it can). Loading, saving, the check of the
// file and the list of keys Vigilon reads all go through this one table, in its order.
struct RuleKey {
    wchar_t const* name;
    std::wstring RestartRules::*field;
    std::wstring (*problem)(std::wstring_view text);
};
std::span<RuleKey const> RuleKeys();

// The rules of one section, each key's text as `read` gives it (empty when the key is not there).
template <typename Read>
RestartRules ReadRestartRules(Read read) {
    RestartRules rules;
    for (RuleKey const& key : RuleKeys()) rules.*key.field = read(key.name);
    return rules;
}

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

// Show: how a program's window is kept. Hidden, the default, starts it minimised and hides it when
// minimised; the others start it in that state and put it back when it is minimised or hidden.
// Case is ignored, and Maximised is taken for Maximized.
enum class ShowAs : std::uint8_t { Hidden, Normal, Maximized, FullScreen };
RuleValue<ShowAs> ParseShowAs(std::wstring_view text);
std::wstring_view ShowAsWord(ShowAs show);  // "Hidden", "Normal", "Maximized", "FullScreen"

// Monitor: "primary" (any case) or a display's stable identity. Nothing: the window stays on the
// display it is on. The value is the identity as written, or kPrimaryMonitor.
inline constexpr wchar_t kPrimaryMonitor[] = L"primary";
RuleValue<std::wstring> ParseMonitor(std::wstring_view text);

// OnTop: "1" keeps the window topmost; "0" or nothing does not.
RuleValue<bool> ParseOnTop(std::wstring_view text);

// StartDelay: whole seconds from 0 to kMaxStartDelaySeconds.
inline constexpr int kMaxStartDelaySeconds = 3600;
RuleValue<int> ParseStartDelay(std::wstring_view text);

// StartAfter: the name of another program in the list (trimmed; its case is ignored when it is looked up).
RuleValue<std::wstring> ParseStartAfter(std::wstring_view text);

// WaitFor: a path that must exist (C:\data, \\server\share\file) or host:port that must take a
// TCP connection (server:1433, 10.0.0.5:80, [::1]:8080).
struct WaitTarget {
    std::wstring path;  // the path to wait for; empty for a connection
    std::wstring host;  // the host to connect to; empty for a path
    int port = 0;

    bool operator==(WaitTarget const&) const = default;
};
RuleValue<WaitTarget> ParseWaitFor(std::wstring_view text);

// WaitSeconds: the longest a start waits for StartAfter and WaitFor, 1 to kMaxWaitSeconds;
// kDefaultWaitSeconds when not set.
inline constexpr int kDefaultWaitSeconds = 120;
inline constexpr int kMaxWaitSeconds = 86'400;
RuleValue<int> ParseWaitSeconds(std::wstring_view text);

// Restart: Always, the default, starts a program again however it ended; Failure only when it ended
// with an exit code other than 0 or Vigilon ended it.
enum class RestartWhen : std::uint8_t { Always, Failure };
RuleValue<RestartWhen> ParseRestartWhen(std::wstring_view text);
std::wstring_view RestartWhenWord(RestartWhen when);  // "Always", "Failure"

// Check: how a program is known to work. `target` is the URL (Http), the host (Tcp), the path as
// written, variables not yet expanded (File), the caption's leading text (Window) or the command
// line as written (Run, its first part a full path).
enum class CheckKind : std::uint8_t { Http, Tcp, File, Window, Run };
struct HealthCheck {
    CheckKind kind = CheckKind::Http;
    std::wstring target;
    int port = 0;  // Tcp only

    bool operator==(HealthCheck const&) const = default;
};
RuleValue<HealthCheck> ParseHealthCheck(std::wstring_view text);

// CheckText: the text an http check's body must hold, trimmed; nothing when not set.
RuleValue<std::wstring> ParseCheckText(std::wstring_view text);

// CheckAge: seconds, 1 to kMaxCheckAgeSeconds; nothing when not set (the file need only exist).
inline constexpr int kMaxCheckAgeSeconds = 86'400 * 7;
RuleValue<int> ParseCheckAge(std::wstring_view text);

// The timing of checks, each in its range and with its default when not set.
inline constexpr int kDefaultCheckSeconds = 30;
inline constexpr int kDefaultCheckTimeout = 10;
inline constexpr int kDefaultCheckGrace = 60;
inline constexpr int kDefaultCheckFailures = 3;
RuleValue<int> ParseCheckSeconds(std::wstring_view text);   // 5 to 3600
RuleValue<int> ParseCheckTimeout(std::wstring_view text);   // 1 to 120
RuleValue<int> ParseCheckGrace(std::wstring_view text);     // 0 to 3600
RuleValue<int> ParseCheckFailures(std::wstring_view text);  // 1 to 100

// CheckAction: Restart, the default, restarts the program after its failures; Report only tells of them.
enum class CheckAction : std::uint8_t { Restart, Report };
RuleValue<CheckAction> ParseCheckAction(std::wstring_view text);

// Window: "None" (any case) for a program that shows no window, found by its process instead;
// nothing for one found by its window's caption.
inline constexpr wchar_t kNoWindow[] = L"None";
RuleValue<bool> ParseWindowless(std::wstring_view text);
// True for a program whose Window key says it shows none; a value that cannot be used is not.
bool Windowless(RestartRules const& rules);
// Why a program without a window cannot be found by this EXE, empty when it can: its process's file
// is compared with EXE, so EXE must be the full path of an .exe (a bare name, a relative path, a
// script or a shortcut never names a running process's file).
std::wstring WindowlessExeProblem(std::wstring_view exe);

// Process: the image its window's process runs, as a full path (C:\Tools\app.exe,
// \\server\share\app.exe) or a bare file name (app.exe), trimmed; nothing when not set.
RuleValue<std::wstring> ParseProcess(std::wstring_view text);

// Class: the class name its window has, trimmed; nothing when not set.
RuleValue<std::wstring> ParseWindowClass(std::wstring_view text);

// CaptionMatch: how Caption is compared with a window's caption, case ignored: it begins it (Start,
// the default), is found in it, ends it or is all of it.
enum class CaptionMatch : std::uint8_t { Start, Contains, End, Exact };
RuleValue<CaptionMatch> ParseCaptionMatch(std::wstring_view text);
std::wstring_view CaptionMatchWord(CaptionMatch match);  // "Start", "Contains", "End", "Exact"

}  // namespace vigilon
