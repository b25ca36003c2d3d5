#include "engine/escalation_keeper.h"

#include <algorithm>
#include <utility>

#include "support/local_time.h"

namespace vigilon {
namespace {

SessionEnd SessionEndOf(EscalateAction action) {
    switch (action) {
    case EscalateAction::Logoff: return SessionEnd::Logoff;
    case EscalateAction::Shutdown: return SessionEnd::Shutdown;
    default: return SessionEnd::Reboot;
    }
}

// What is done, as the history names it.
std::wstring What(SessionEnd how) {
    switch (how) {
    case SessionEnd::Logoff: return L"logoff";
    case SessionEnd::Reboot: return L"restart of the PC";
    case SessionEnd::Shutdown: return L"shutdown of the PC";
    }
    return {};
}

// Sunday 0 to Saturday 6: 1970-01-01 was a Thursday.
unsigned Weekday(LocalTime const& time) {
    std::int64_t const days = DaysFromCivil(time.year, time.month, time.day);
    return static_cast<unsigned>(((days % 7) + 7 + 4) % 7);
}

// The local time `minutes` after the midnight that begins the day `days` after `time`'s.
LocalTime DayAt(LocalTime const& time, int days, int minutes) {
    LocalTime day = AddMilliseconds(time, std::int64_t{days} * 86'400'000);
    day.hour = minutes / 60;
    day.minute = minutes % 60;
    day.second = 0;
    day.millisecond = 0;
    return day;
}

// Whose ladder asked, for the details the event log shows alone: " for Kiosk"; empty for RebootAt.
std::wstring ForWhom(std::wstring const& program) { return program.empty() ? std::wstring() : L" for " + program; }

}  // namespace

std::wstring CountdownText(SessionEnd how, int seconds, std::wstring_view why) {
    std::wstring const in = L" in " + std::to_wstring(seconds) + L" s: " + std::wstring(why) + L".";
    switch (how) {
    case SessionEnd::Logoff: return L"Vigilon logs off this session" + in;
    case SessionEnd::Reboot: return L"Vigilon restarts this PC" + in;
    case SessionEnd::Shutdown: return L"Vigilon shuts down this PC" + in;
    }
    return {};
}

void EscalationKeeper::Set(EscalationOptions const& options) {
    // RebootAt set anew (or off, then on again) looks afresh: a time gone by meanwhile, a few
    // minutes ago, is not taken for one due now.
    if (options.rebootAt != options_.rebootAt) schedule_ = DailySchedule{};
    options_ = options;
}

void EscalationKeeper::StepReached(std::wstring const& program, EscalationLadder& ladder, EscalateStep step) {
    std::wstring const count = std::to_wstring(step.count);
    std::wstring const minutes = std::to_wstring(ladder.minutes);
    std::wstring const times = step.count == 1 ? L"once" : count + L" times";
    std::wstring const why = program + L" failed " + times + L" in " + minutes + L" minutes";
    TroubleReporter::Variables extra{{L"VIGILON_COUNT", count},
                                     {L"VIGILON_MINUTES", minutes},
                                     {L"VIGILON_ACTION", std::wstring(EscalateActionWord(step.action))}};
    if (ending_) return;
    if (!EndsSession(step.action)) {
        journal_.Log(L"escalate", program, why + L": the command on trouble runs");
        reporter_.ReportEscalation(TroubleKind::Escalate, program, why + L": the command on trouble runs", std::move(extra));
        return;
    }
    Begin(SessionEndOf(step.action), program, why, std::move(extra));
}

EscalationKeeper::Hold EscalationKeeper::HeldBecause() {
    if (countdown_) return {Hold::Cause::Countdown, L"a countdown already runs"};
    std::int64_t const uptime = platform_.power.UptimeMilliseconds();
    if (uptime < std::int64_t{options_.minUptimeMinutes} * 60'000) {
        return {Hold::Cause::Uptime, L"the PC started " + std::to_wstring(uptime / 60'000) + L" minutes ago, within MinUptime=" +
                                         std::to_wstring(options_.minUptimeMinutes)};
    }
    if (refusedAt_ >= 0 && Now() - refusedAt_ < kRefusedPause) {
        return {Hold::Cause::Refused, L"the system refused one less than an hour ago"};
    }
    int const recent = record_.InLastDay(UnixSeconds(platform_.events.LocalTimeNow()));
    if (recent >= options_.maxReboots) {
        return {Hold::Cause::Count, std::to_wstring(recent) + L" in the last 24 hours, MaxReboots=" +
                                        std::to_wstring(options_.maxReboots)};
    }
    return {};
}

void EscalationKeeper::SayHeld(std::wstring const& program, SessionEnd how, Hold const& hold,
                               TroubleReporter::Variables extra) {
    std::wstring const details = What(how) + ForWhom(program) + L" kept back: " + hold.because;
    if (heldSaid_ == hold.cause) {
        // Said once for each cause; the command on trouble still runs for every step held.
        reporter_.RunEscalationCommand(TroubleKind::EscalationHeld, program, details, std::move(extra));
        return;
    }
    heldSaid_ = hold.cause;
    journal_.Log(L"held", program, details);
    reporter_.ReportEscalation(TroubleKind::EscalationHeld, program, details, std::move(extra));
}

void EscalationKeeper::Begin(SessionEnd how, std::wstring const& program, std::wstring const& why,
                             TroubleReporter::Variables extra) {
    if (ending_) return;
    Hold const hold = HeldBecause();
    if (hold.cause != Hold::Cause::None) {
        SayHeld(program, how, hold, std::move(extra));
        return;
    }
    heldSaid_ = Hold::Cause::None;
    int const seconds = options_.noticeSeconds;
    countdown_ = Countdown{how, program, why, Now() + std::int64_t{seconds} * 1000, seconds > 0, extra};
    std::wstring const details = why + L": " + What(how) + L" in " + std::to_wstring(seconds) + L" s";
    journal_.Log(L"escalate", program, details);
    reporter_.ReportEscalation(TroubleKind::Escalate, program, details, std::move(extra));
    // Told at once, so that its monitor knows before the PC goes.
    heartbeat_.TellNow({HeartbeatFacts::Watching::Watching, false, CountdownText(how, seconds, why)});
}

void EscalationKeeper::Tick(bool launchPaused) {
    if (ending_) return;
    // Looked at before the countdown's end, so that nothing is ended while launching is paused.
    if (countdown_) {
        std::wstring const because = Void(launchPaused);
        if (!because.empty()) CancelBecause(because);
    }
    Schedule(launchPaused);
    if (countdown_ && Now() >= countdown_->endsAt) Act();
}

std::wstring EscalationKeeper::Void(bool launchPaused) const {
    // Ends while launching is paused do not count, and RebootAt is skipped then: nor does a
    // countdown that began before end anything.
    if (launchPaused) return L"launching was paused";
    if (countdown_->program.empty()) return {};
    auto const& book = supervisor_.Book();
    auto const state = book.find(countdown_->program);
    if (state == book.end()) return countdown_->program + L" is no longer in the list";
    if (!state->second.escalation.EndsSessions()) {
        return L"the ladder of " + countdown_->program + L" no longer ends the session";
    }
    return {};
}

void EscalationKeeper::StartOver(std::wstring const& program) {
    // Only a program still known: a name no longer listed gets no state made for it.
    auto& book = supervisor_.Book();
    auto const state = book.find(program);
    if (state != book.end()) state->second.escalation.StartOver();
}

void EscalationKeeper::Act() {
    Countdown const due = std::move(*countdown_);
    countdown_.reset();
    // The count of whichever program asked starts over, whatever comes of it.
    if (!due.program.empty()) StartOver(due.program);
    Hold const hold = HeldBecause();
    if (hold.cause != Hold::Cause::None) {
        SayHeld(due.program, due.how, hold, due.extra);
        return;
    }
    // Kept before it is asked for, so that it counts however quickly the session ends.
    record_.Add(UnixSeconds(platform_.events.LocalTimeNow()));
    journal_.Log(L"escalate", due.program, What(due.how) + L" now: " + due.why);
    SessionEndResult const result = platform_.power.EndSession(due.how, L"Vigilon: " + due.why + L".");
    if (result.accepted) {
        // The session ends: what comes meanwhile (programs ending with it, Exit) is no trouble.
        ending_ = true;
        return;
    }
    record_.TakeBack();
    refusedAt_ = Now();
    std::wstring const details = What(due.how) + ForWhom(due.program) + L" refused by the system: " + result.refusal;
    journal_.Log(L"refused", due.program, details);
    reporter_.ReportEscalation(TroubleKind::Refused, due.program, details, due.extra);
    journal_.Notice(L"Windows refused the " + What(due.how) + L": " + result.refusal + L".");
}

bool EscalationKeeper::Cancel(std::wstring_view by) { return Stop(L" cancelled by " + std::wstring(by)); }

bool EscalationKeeper::CancelBecause(std::wstring_view because) {
    return Stop(L" cancelled, " + std::wstring(because));
}

bool EscalationKeeper::Stop(std::wstring const& how) {
    if (!countdown_) return false;
    Countdown const cancelled = std::move(*countdown_);
    countdown_.reset();
    if (!cancelled.program.empty()) StartOver(cancelled.program);
    std::wstring const details = What(cancelled.how) + how + L": " + cancelled.why;
    journal_.Log(L"cancelled", cancelled.program, details);
    reporter_.ReportEscalation(TroubleKind::Cancelled, cancelled.program, details, {});
    return true;
}

void EscalationKeeper::Schedule(bool launchPaused) {
    if (!options_.rebootAt) return;
    LocalTime const now = platform_.events.LocalTimeNow();
    if (!schedule_.Due(now, {*options_.rebootAt})) return;
    if ((options_.rebootDays & (1u << Weekday(now))) == 0) return;
    std::wstring const why = L"the restart scheduled at " + FormatRestartTimes({*options_.rebootAt});
    if (launchPaused) {
        journal_.Log(L"held", {}, why + L" is skipped: launching is paused");
        return;
    }
    Begin(SessionEnd::Reboot, {}, why, {});
}

std::optional<EscalationKeeper::Notice> EscalationKeeper::Showing() {
    if (!countdown_ || !countdown_->notice) return std::nullopt;
    std::int64_t const left = std::max<std::int64_t>(countdown_->endsAt - Now(), 0);
    int const seconds = static_cast<int>((left + 999) / 1000);
    return Notice{CountdownText(countdown_->how, seconds, countdown_->why), seconds};
}

void EscalationKeeper::Explain(HeartbeatFacts& facts) const {
    if (!countdown_) return;
    facts.allRunning = false;
    facts.reason = What(countdown_->how) + L" coming: " + countdown_->why;
}

std::wstring EscalationKeeper::NextReboot(bool launchPaused) {
    LocalTime const now = platform_.events.LocalTimeNow();
    if (countdown_ && countdown_->how == SessionEnd::Reboot) {
        return IsoTimeText(AddMilliseconds(now, std::max<std::int64_t>(countdown_->endsAt - Now(), 0)));
    }
    if (!options_.rebootAt || launchPaused) return {};
    int const minuteNow = now.hour * 60 + now.minute;
    for (int days = 0; days <= 7; ++days) {
        if (days == 0 && minuteNow >= *options_.rebootAt) continue;
        LocalTime const day = DayAt(now, days, *options_.rebootAt);
        if ((options_.rebootDays & (1u << Weekday(day))) != 0) return IsoTimeText(day);
    }
    return {};
}

}  // namespace vigilon
