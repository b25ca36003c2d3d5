#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/escalation_options.h"
#include "app/alert_options.h"
#include "app/settings_file.h"
#include "platform/registry.h"

namespace vigilon {

inline constexpr int kDefaultHeartbeatSeconds = 60;
inline constexpr wchar_t kDisplayOffHours[] = L"Hours";
inline constexpr int kMinHeartbeatSeconds = 10;
inline constexpr int kMaxHeartbeatSeconds = 3600;

// The user's choices for unattended use, kept apart from the dialog that shows them.
struct Options {
    bool trayNotices = false;  // [Apps] Notices=Tray; any other value, or none, means Box
    bool backoff = false;      // [Apps] Backoff=1: wait longer between starts of a program that keeps failing
    int hangSeconds = 0;       // [Apps] HangSeconds=N: restart a window that does not answer for N seconds; 0 off
    bool eventLog = false;     // [Apps] EventLog=1: write problems to the Windows event log
    std::wstring onEvent;      // [Apps] OnEvent=<command line>: run on trouble; empty for none
    std::wstring metricsFile;  // [Apps] MetricsFile=<path>: metrics for Prometheus written there; empty for none
    // LockSettings=1, from a policy only: the editor, Options and a program's Settings open
    // read-only. The settings file cannot lock itself: whoever can edit it could unlock it.
    bool settingsLocked = false;
    std::wstring heartbeatUrl;  // [Apps] HeartbeatUrl=<url>: requested every heartbeatSeconds; empty for none
    int heartbeatSeconds = kDefaultHeartbeatSeconds;  // [Apps] HeartbeatSeconds=N, 10 to 3600
    bool screenshots = false;  // [Apps] Screenshots=1: a picture of a window in trouble before it is closed
    std::wstring menuHotkey;   // [Apps] MenuHotkey=Ctrl+Alt+Shift+V: opens the tray menu from any program; empty for none
    bool displayOff = false;   // [Apps] DisplayOff=Hours: the displays sleep while no program is inside its hours
    EscalationOptions escalation;  // [Apps] MinUptime, MaxReboots, EscalateNotice, RebootAt, RebootDays
    std::wstring alertUrl;     // [Apps] AlertUrl=<url>: troubles posted there; empty for none
    AlertFormat alertFormat = AlertFormat::Auto;  // [Apps] AlertFormat=Auto|Json|Text|Teams|Slack|Discord|Ntfy|Gotify
    int alertAfter = kDefaultAlertAfterSeconds;         // [Apps] AlertAfter=N, 0 to 3600
    std::wstring alertKinds;   // [Apps] AlertKinds=<kinds>: the kinds sent; empty for all

    // Which of them an administrator's policy sets: the dialog shows them greyed, and they are
    // never written to the settings file.
    struct Locks {
        bool notices = false, backoff = false, hangSeconds = false, eventLog = false, onEvent = false;
        bool metricsFile = false, heartbeatUrl = false, heartbeatSeconds = false, screenshots = false;
        bool minUptime = false, maxReboots = false, escalateNotice = false, rebootAt = false, rebootDays = false;
        bool alertUrl = false, alertFormat = false, alertAfter = false, alertKinds = false;
        bool displayOff = false;
        bool Any() const {
            return notices || backoff || hangSeconds || eventLog || onEvent || metricsFile || heartbeatUrl ||
                   heartbeatSeconds || screenshots || minUptime || maxReboots || escalateNotice || rebootAt || rebootDays ||
                   alertUrl || alertFormat || alertAfter || alertKinds || displayOff;
        }
    } locked;
};

// The smallest number of seconds a window must fail to answer before it counts as hung: the
// system itself calls a window hung after five.
inline constexpr int kMinHangSeconds = 5;
inline constexpr int kMaxHangSeconds = 3600;

// A HangSeconds value as the user wrote it: 0 (off) for nothing, zero, a negative number or no
// number; otherwise at least kMinHangSeconds and at most kMaxHangSeconds.
int HangSecondsFrom(std::wstring const& text);

// A HeartbeatSeconds value as the user wrote it: the default for no number, otherwise held to
// kMinHeartbeatSeconds..kMaxHeartbeatSeconds.
int HeartbeatSecondsFrom(std::wstring const& text);

// The options in force now: an administrator's policies first, then the settings file.
Options LoadOptions(SettingsFile const& settings, Registry& registry);

// Writes the options' [Apps] keys at once, but for those a policy sets. False when one could not
// be written.
bool SaveOptions(Options const& options, SettingsFile const& settings);

// The keys whose values differ between `before` and `after`, for the history: "Backoff=1,
// HangSeconds=30"; the command line is named without its value. Empty when none differs.
std::wstring ChangedOptions(Options const& before, Options const& after);

// The [Apps] keys a policy may set, as the administrative template names them.
std::vector<std::wstring_view> PolicyKeys();

// The settings a policy sets, for the history: "HangSeconds=30 (machine policy), ..."; empty for
// none.
std::wstring PolicySummary(SettingsFile const& settings, Registry& registry);

}  // namespace vigilon
