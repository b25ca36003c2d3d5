#include "engine/rules/hours_rule.h"

#include <utility>

#include "app/opening_hours.h"
#include "engine/rules/restart_reasons.h"

namespace vigilon {
namespace {

// "until Mon 08:00", or why there is no such time.
std::wstring UntilText(std::optional<std::int64_t> const& wallMinute) {
    return wallMinute ? L"until " + WallMinuteText(*wallMinute) : L"no hours begin within a week";
}

}  // namespace

HoursRule::HoursRule(Platform& platform, SupervisionJournal& journal, Supervisor& supervisor, Readiness const& readiness)
    : platform_(platform), journal_(journal), supervisor_(supervisor), readiness_(readiness) {
    supervisor_.AddRule(*this);
}

void HoursRule::LaunchAsked() {
    for (auto& [name, state] : supervisor_.Book()) {
        if (state.hours.ranges.empty() || state.hours.on) continue;
        state.hours.personAsked = true;
        if (state.phase == ProgramPhase::Off) MovePhase(state, ProgramPhase::Absent);
    }
}

void HoursRule::Read(RuleTexts const& texts, ProgramState& state) const {
    RuleValue<std::vector<HoursRange>> hours = ParseOpeningHours(texts.Now().hours);
    texts.Refuse(kHoursKey, &RestartRules::hours, hours.problem);
    std::vector<HoursRange> ranges = std::move(hours.value).value_or(std::vector<HoursRange>{});
    if (ranges == state.hours.ranges) return;
    // New hours: looked at afresh, as at Vigilon's start; a person's start still under way stays.
    HoursWatch& watch = state.hours;
    watch.ranges = std::move(ranges);
    watch.clock = {};
    watch.looked = false;
}

bool HoursRule::HoldsStart(WatchedProgram const& record, ProgramState& state, bool launchPaused) const {
    HoursWatch& watch = state.hours;
    if (watch.ranges.empty()) {
        // Hours taken away: it runs at all hours.
        if (!watch.on) {
            journal_.Log(vigilon::Describe(TroubleKind::HoursOn).word, record.name, L"no hours set any more");
        }
        watch = HoursWatch{.idleMinutes = watch.idleMinutes, .idleRestartedAfter = watch.idleRestartedAfter};
        if (state.phase == ProgramPhase::Off) MovePhase(state, ProgramPhase::Absent);
        return false;
    }
    // A window gone after Vigilon asked it to close for a restart (at a pass, or asked for between
    // passes) was not closed by anyone.
    std::uint64_t restarts = 0;
    for (std::uint64_t const count : state.counts.restarts) restarts += count;
    if (state.window.Present()) {
        watch.restartAsked = state.window.restartAsked;
        watch.restartsSeen = restarts;
        watch.troubleEnd = false;  // it runs again
    } else if (restarts != watch.restartsSeen) {
        watch.restartAsked = true;
        watch.restartsSeen = restarts;
    }
    bool const first = !std::exchange(watch.looked, true);
    bool const wasOn = watch.on;
    bool const wasInside = watch.clock.Inside();
    std::int64_t const wasEnd = watch.clock.End();
    bool const inside = watch.clock.Look(LocalNow(), watch.ranges);
    std::int64_t const at = watch.clock.LastLook();
    if (inside) {
        watch.overrideUntil.reset();  // its hours cover a person's start from here
        watch.troubleEnd = false;
        watch.on = true;
        watch.closeAsked = false;
        watch.personAsked = false;  // a Launch Programs not yet seen is covered by its hours
        // A range begins: off until now, or the next range found with no pass between the two
        // (the PC slept, the editor was open). A program left closed is started again only then:
        // not at Vigilon's start nor when its hours were changed while it was left closed.
        bool const begin = !first && (!wasInside || watch.clock.End() != wasEnd);
        bool const reopen = begin && !launchPaused && state.phase == ProgramPhase::Closed;
        if (!wasOn || reopen) On(record, state, reopen);
        return false;
    }
    if (watch.overrideUntil && OverrideOver(state, at)) watch.overrideUntil.reset();
    // Its hours end now: the window there, or the one a start under way brings, is closed for them;
    // once gone, a window that comes while it is off is someone's own start.
    if (wasOn && !watch.overrideUntil) watch.closeForHours = state.window.Present() || state.phase == ProgramPhase::Starting;
    if (!state.window.Present() && state.phase != ProgramPhase::Starting) watch.closeForHours = false;
    bool const asked = state.startAsked || std::exchange(watch.personAsked, false);
    if (!watch.overrideUntil && asked) {
        Override(record, state, L"started by a person outside its hours");
    } else if (!watch.overrideUntil && state.window.Present() && (first || !watch.closeForHours)) {
        // Not ended for hours it did not run in: it ran before Vigilon looked, or someone started
        // it by hand while it was off.
        Override(record, state, L"running outside its hours");
    }
    if (!watch.overrideUntil) watch.troubleEnd = false;
    if (watch.overrideUntil) {
        watch.on = true;
        watch.closeAsked = false;
        return false;
    }
    watch.on = false;
    std::optional<HoursSpan> const next = NextSpan(watch.ranges, at);
    watch.nextStart = next ? std::optional<std::int64_t>(next->start) : std::nullopt;
    Off(record, state);
    return true;
}

LocalTime const& HoursRule::LocalNow() const {
    // Read once a pass for every program: the clock is looked at for each at every visit.
    if (readAt_ != supervisor_.PassTime()) {
        readAt_ = supervisor_.PassTime();
        read_ = platform_.events.LocalTimeNow();
    }
    return read_;
}

void HoursRule::On(WatchedProgram const& record, ProgramState& state, bool reopen) const {
    if (state.phase == ProgramPhase::Off) MovePhase(state, ProgramPhase::Absent);
    // Left closed (Restart=Failure, it exited with 0) in an earlier range or outside them: a new
    // range starts it again.
    if (reopen) MovePhase(state, ProgramPhase::Absent);
    state.hours.offSaid = false;
    // Started as after Vigilon's start: its StartDelay counted from now, then StartAfter and WaitFor.
    readiness_.ArmOne(state);
    std::wstring const details = L"its hours begin, until " + WallMinuteText(state.hours.clock.End());
    journal_.Log(vigilon::Describe(TroubleKind::HoursOn).word, record.name, details);
    journal_.Trouble(TroubleKind::HoursOn, record.name, details);
}

void HoursRule::Off(WatchedProgram const& record, ProgramState& state) const {
    // Not started until its hours begin; a start under way goes on, and its window is closed once
    // found. One whose window did not come within its wait is over quietly: it is not started again.
    bool const startOver = !state.window.Present() && supervisor_.WaitIsOver(state);
    if (state.phase == ProgramPhase::Absent || state.phase == ProgramPhase::BackingOff || startOver) {
        MovePhase(state, ProgramPhase::Off);
    }
    // A window there is asked to close (RestartDue), and that says `off`; otherwise it is said here,
    // once for each stretch off.
    if (state.window.Present() || std::exchange(state.hours.offSaid, true)) return;
    std::wstring const details = L"outside its hours, not started " + UntilText(state.hours.nextStart);
    journal_.Log(vigilon::Describe(TroubleKind::HoursOff).word, record.name, details);
    journal_.Trouble(TroubleKind::HoursOff, record.name, details);
}

void HoursRule::Override(WatchedProgram const& record, ProgramState& state, std::wstring const& why) const {
    HoursWatch& watch = state.hours;
    std::int64_t const at = watch.clock.LastLook();
    std::optional<HoursSpan> const next = NextSpan(watch.ranges, at);
    bool const soon = next && next->start - at <= kOverrideReach;
    watch.overrideUntil = soon ? next->end : HoursWatch::kUntilClosed;
    watch.offSaid = false;
    if (state.phase == ProgramPhase::Off) MovePhase(state, ProgramPhase::Absent);
    std::wstring const until = soon ? L"watched until " + WallMinuteText(next->end) : L"watched until it is closed";
    journal_.Log(vigilon::Describe(TroubleKind::HoursOn).word, record.name, why + L": " + until);
    journal_.Trouble(TroubleKind::HoursOn, record.name, why + L": " + until);
}

bool HoursRule::OverrideOver(ProgramState const& state, std::int64_t at) {
    if (*state.hours.overrideUntil != HoursWatch::kUntilClosed) return at >= *state.hours.overrideUntil;
    // Until it is closed: its window gone, not for a restart nor in trouble (a crash is started
    // again as its Restart says), and no start of it under way or asked for.
    return !state.window.Present() && !state.hours.restartAsked && !state.hours.troubleEnd &&
           state.phase != ProgramPhase::Starting && !state.startAsked;
}

std::optional<RestartAsk> HoursRule::RestartDue(WatchedProgram const&, RuleContext const&, ProgramState& state) const {
    HoursWatch& watch = state.hours;
    if (watch.ranges.empty() || watch.on || !watch.closeForHours || !state.window.Present()) return std::nullopt;
    // Asked once for each stretch off: a window that answered may be asking its user to save, and
    // a second request would stack a second question on it. It is never ended while it answers.
    if (watch.closeAsked) return std::nullopt;
    watch.closeAsked = true;
    std::wstring const until = UntilText(watch.nextStart);
    watch.offSaid = true;  // the close says it
    return RestartAsk{RestartReason::Hours, until, L"its hours end: closed " + until};
}

void HoursRule::Describe(ProgramStatus& row, ProgramState const& state, bool) const {
    if (state.phase != ProgramPhase::Off || state.window.Present()) return;
    row.state = StatusState::Off;
    row.nextStart = state.hours.nextStart ? WallMinuteText(*state.hours.nextStart) : std::wstring();
}

}  // namespace vigilon
