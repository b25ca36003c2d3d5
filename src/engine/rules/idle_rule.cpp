#include "engine/rules/idle_rule.h"

#include <utility>

#include "app/opening_hours.h"
#include "app/restart_rules.h"

namespace vigilon {

IdleRule::IdleRule(Platform& platform, Supervisor& supervisor, std::function<bool()> countingDown)
    : platform_(platform), countingDown_(std::move(countingDown)) {
    supervisor.AddRule(*this);
}

void IdleRule::Read(RuleTexts const& texts, ProgramState& state) const {
    RuleValue<int> const minutes = ParseIdleRestart(texts.Now().idleRestart);
    // A program without a window has nothing on screen for the next person: said once, and kept in
    // the file for the day it shows a window again.
    bool const windowless = minutes.value && Windowless(texts.Now());
    texts.Refuse(kIdleRestartKey, &RestartRules::idleRestart,
                 windowless ? L"usable for a program without a window (Window=None): it has no window on screen to restart"
                            : minutes.problem,
                 windowless ? &RestartRules::window : nullptr);
    state.hours.idleMinutes = windowless ? std::nullopt : minutes.value;
}

std::optional<RestartAsk> IdleRule::RestartDue(WatchedProgram const&, RuleContext const&, ProgramState& state) const {
    HoursWatch& watch = state.hours;
    // Outside its hours not even when a person started it: whoever did may be coming back.
    bool const inHours = watch.ranges.empty() || watch.clock.Inside();
    if (!watch.idleMinutes || dialogShown_ || !inHours || state.window.handle == 0) return std::nullopt;
    if (countingDown_ && countingDown_()) return std::nullopt;
    std::optional<std::int64_t> const idle = platform_.system.IdleMilliseconds();
    std::int64_t const limit = std::int64_t{*watch.idleMinutes} * 60'000;
    if (!idle || *idle < limit) return std::nullopt;
    // The last input, on the monotonic clock: the same spell as long as it does not move on.
    std::int64_t const lastInput = platform_.events.MonotonicMilliseconds() - *idle;
    if (watch.idleRestartedAfter && lastInput <= *watch.idleRestartedAfter + kInputSlack) return std::nullopt;
    // Nobody used the PC since its window came (a fresh start, or no input since the PC started):
    // there is no last person's session to clear.
    if (lastInput <= state.window.foundAt) return std::nullopt;
    Desktop& desktop = platform_.desktop;
    if (!desktop.IsVisible(state.window.handle) || desktop.IsMinimised(state.window.handle)) return std::nullopt;
    watch.idleRestartedAfter = lastInput;
    std::wstring const minutes = std::to_wstring(*watch.idleMinutes);
    return RestartAsk{RestartReason::Idle, minutes + L" min", L"nobody used the PC for " + minutes + L" min"};
}

}  // namespace vigilon
