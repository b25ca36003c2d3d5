#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/escalation_options.h"
#include "engine/escalation_record.h"
#include "engine/outputs/heartbeat.h"
#include "engine/outputs/trouble_reporter.h"
#include "engine/rules/daily_schedule.h"
#include "engine/supervisor.h"
#include "platform/platform.h"

namespace vigilon {

// What the PC-wide part of escalation does once a program's ladder reaches a step, and the PC's
// restart on schedule (RebootAt, RebootDays). One per engine: the lockout is the PC's, not a program's.
//
// A `command` step runs the command on trouble with VIGILON_EVENT=escalate. A logoff, restart or
// shutdown is announced by a countdown of EscalateNotice seconds that a person can cancel, then
// asked of the system. The lockout keeps one back (`held`, said once for each cause) within
// MinUptime minutes of the PC's start, after MaxReboots in 24 hours (kept in the registry, see
// EscalationRecord), for an hour after the system refused one, and while a countdown runs; one
// refused is said once (`refused`) and never asked again at once. Nothing is asked of the system
// but at the end of a countdown, one request each.
class EscalationKeeper {
public:
    static constexpr std::int64_t kRefusedPause = 3'600'000;  // milliseconds

    EscalationKeeper(Platform& platform, SupervisionJournal& journal, TroubleReporter& reporter, Supervisor& supervisor,
                     Heartbeat& heartbeat)
        : platform_(platform), journal_(journal), reporter_(reporter), supervisor_(supervisor), heartbeat_(heartbeat),
          record_(platform.registry) {}

    void Set(EscalationOptions const& options);
    EscalationOptions const& Options() const { return options_; }

    // The program's ladder counted a trouble, which reached `step`.
    void StepReached(std::wstring const& program, EscalationLadder& ladder, EscalateStep step);

    // Every second: a countdown that is over is acted on; the scheduled restart begins when its
    // time comes (skipped, and said, while launching is paused).
    // A countdown runs on only while launching runs and its program's ladder still ends the session.
    void Tick(bool launchPaused);

    // Cancels the countdown, `by` naming who ("Cancel", "/cancel", "Exit"): said, and the program's
    // count starts over. False when none runs.
    bool Cancel(std::wstring_view by);
    // The same, for a reason rather than a person ("launching was paused").
    bool CancelBecause(std::wstring_view because);

    // The countdown's text for the notice, while one runs and EscalateNotice is not 0.
    struct Notice {
        std::wstring text;  // "Vigilon restarts this PC in 60 s: Kiosk failed 10 times in 60 minutes."
        int secondsLeft = 0;
    };
    std::optional<Notice> Showing();
    bool CountingDown() const { return countdown_.has_value(); }

    // While a countdown runs, the heartbeat says down, and why.
    void Explain(HeartbeatFacts& facts) const;

    // The local time of the PC's next restart: the countdown's end, or the next scheduled time;
    // empty when none ("2026-01-02T04:00:00+01:00").
    // RebootAt is left out while launching is paused: it would be skipped.
    std::wstring NextReboot(bool launchPaused);

private:
    struct Countdown {
        SessionEnd how;
        std::wstring program;  // empty: the scheduled restart
        std::wstring why;      // "Kiosk failed 10 times in 60 minutes", "the restart scheduled at 04:00"
        std::int64_t endsAt = 0;  // monotonic
        bool notice = true;       // EscalateNotice was not 0 when it began: shown to its end
        TroubleReporter::Variables extra;  // for the command on trouble, when it is held at its end
    };
    // Why a session may not be ended now.
    struct Hold {
        enum class Cause : std::uint8_t { None, Countdown, Uptime, Refused, Count };
        Cause cause = Cause::None;
        std::wstring because;
    };
    std::int64_t Now() { return platform_.events.MonotonicMilliseconds(); }
    Hold HeldBecause();
    // Says that the session's end is kept back, once for each cause in a row.
    void SayHeld(std::wstring const& program, SessionEnd how, Hold const& hold, TroubleReporter::Variables extra);
    // Begins the countdown, or holds it.
    void Begin(SessionEnd how, std::wstring const& program, std::wstring const& why, TroubleReporter::Variables extra);
    void Act();
    void Schedule(bool launchPaused);
    bool Stop(std::wstring const& how);
    // Why the running countdown may no longer end the session; empty when it may.
    std::wstring Void(bool launchPaused) const;
    void StartOver(std::wstring const& program);

    Platform& platform_;
    SupervisionJournal& journal_;
    TroubleReporter& reporter_;
    Supervisor& supervisor_;
    Heartbeat& heartbeat_;
    EscalationRecord record_;
    EscalationOptions options_;
    std::optional<Countdown> countdown_;
    std::int64_t refusedAt_ = -1;  // monotonic: the system's last refusal; -1 none
    Hold::Cause heldSaid_ = Hold::Cause::None;  // the cause of the last `held` said; None once a countdown began
    DailySchedule schedule_;
    bool ending_ = false;  // the system accepted a session's end: nothing more is begun or said
};

// The words of a countdown: "Vigilon restarts this PC in 60 s: Kiosk failed 10 times in 60 minutes."
std::wstring CountdownText(SessionEnd how, int seconds, std::wstring_view why);

}  // namespace vigilon
