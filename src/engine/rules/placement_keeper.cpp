#include "engine/rules/placement_keeper.h"

#include <type_traits>
#include <utility>

namespace vigilon {

bool PlacementKeeper::KeepsShown(WatchedProgram const& record) {
    RuleValue<ShowAs> const show = ParseShowAs(record.rules.show);
    return show.value.value_or(ShowAs::Hidden) != ShowAs::Hidden;
}

bool PlacementKeeper::Keep(WatchedProgram const& record, WindowHandle window, bool launchPaused) {
    WindowHold& held = supervisor_.StateOf(record.name).placement;
    // A program without a rule costs nothing.
    if (held.window == 0 && !held.rule.Any()) return false;
    if (held.window != window) {
        LetGo(record.name, held, true);  // another window took its caption: the old one gets its own back
        held = {.window = window, .rule = held.rule};
    }
    LetGo(record.name, held, false);
    if (!launchPaused && !heldBack_ && !asleep_) Apply(held);
    return held.rule.KeepsShown();
}

void PlacementKeeper::Read(RuleTexts const& texts, ProgramState& state) const {
    if (!texts.Changed(&RestartRules::show) && !texts.Changed(&RestartRules::monitor) &&
        !texts.Changed(&RestartRules::onTop)) {
        return;
    }
    WindowHold& held = state.placement;
    // Another rule: what the last one met is no longer its news (a refused window is still asked
    // at most once a minute, and what it says then is said afresh).
    held.problem.clear();
    held.outOfPlace = false;
    // A value that cannot be used leaves its part off.
    auto take = [&](wchar_t const* key, std::wstring RestartRules::*text, auto const& value, auto& into) {
        into = value.value.value_or(std::remove_reference_t<decltype(into)>{});
        texts.Refuse(key, text, value.problem);
    };
    RestartRules const& rules = texts.Now();
    take(kShowKey, &RestartRules::show, ParseShowAs(rules.show), held.rule.show);
    take(kMonitorKey, &RestartRules::monitor, ParseMonitor(rules.monitor), held.rule.monitor);
    take(kOnTopKey, &RestartRules::onTop, ParseOnTop(rules.onTop), held.rule.onTop);
}

void PlacementKeeper::Apply(WindowHold& held) {
    // One request at a time, whose outcome decides what comes next; a refused one waits.
    if (held.asked || Refused(held.window)) return;
    if (!held.rule.Any()) {
        held.problem.clear();
        return;
    }
    WindowPlacement const now = desktop_.ReadPlacement(held.window, held.rule.Needs());
    PlacementChanges const changes = DecidePlacement(held.rule, now, Displays());
    if (changes.Empty()) {
        held.outOfPlace = false;
        held.problem.clear();
        return;
    }
    // Asked only now: a window in place costs no more than the reading.
    if (desktop_.IsHung(held.window)) return;
    if (changes.style && !held.ownStyle) {
        held.ownStyle = now.style;
        held.ownRect = now.normal;
    }
    if (changes.topmost == true) held.madeTopmost = true;
    held.askedFor = DescribePlacement(changes);
    held.asked = desktop_.Place(held.window, changes);
}

void PlacementKeeper::TakeOutcomes() {
    for (PlacementOutcome const& outcome : desktop_.PlacementsDone()) {
        if (auto release = releases_.extract(outcome.request)) {
            Release const& released = release.mapped();
            if (outcome.done) {
                journal_.Log(L"released", released.name, released.details);
            } else {
                journal_.Log(L"placement", released.name,
                             L"could not give back " + released.details + L": " + outcome.reason);
                // A window that refused this refuses a placement too: it waits as after a refusal.
                NoteRefusal(outcome.window);
            }
            continue;
        }
        for (auto& [name, state] : supervisor_.Book()) {
            if (state.placement.asked == outcome.request && state.placement.window == outcome.window) {
                Placed(name, state.placement, outcome);
                break;
            }
        }
    }
}

void PlacementKeeper::Placed(std::wstring const& name, WindowHold& held, PlacementOutcome const& outcome) {
    held.asked.reset();
    if (outcome.done) {
        refusedUntil_.erase(held.window);
        bool const wasRefused = !std::exchange(held.problem, {}).empty();
        if (!std::exchange(held.outOfPlace, true) || wasRefused) journal_.Log(L"placed", name, held.askedFor);
        return;
    }
    NoteRefusal(held.window);
    // What was refused may not have been taken: only what the window shows now is to be given back.
    WindowPlacement const now = desktop_.ReadPlacement(held.window, {.topmost = true});
    if (now.read && held.ownStyle && (now.style & kWsOverlappedWindow) == (*held.ownStyle & kWsOverlappedWindow)) {
        held.ownStyle.reset();
    }
    if (now.read && !now.topmost) held.madeTopmost = false;
    bool const said = !held.problem.empty();
    held.problem = L"could not place: " + outcome.reason;
    if (!said) journal_.Log(L"placement", name, held.problem);
}

void PlacementKeeper::NoteRefusal(WindowHandle window) {
    std::int64_t const now = clock_.MonotonicMilliseconds();
    std::erase_if(refusedUntil_, [now](auto const& refused) { return refused.second <= now; });
    refusedUntil_[window] = now + kRetryMilliseconds;
}

bool PlacementKeeper::Refused(WindowHandle window) const {
    auto const refused = refusedUntil_.find(window);
    return refused != refusedUntil_.end() && clock_.MonotonicMilliseconds() < refused->second;
}

void PlacementKeeper::Describe(ProgramStatus& row, ProgramState const& state, bool) const {
    if (row.state == StatusState::Running) row.placement = state.placement.problem;
}

void PlacementKeeper::LetGo(std::wstring const& name, WindowHold& held, bool all) const {
    bool const style = held.ownStyle && (all || held.rule.show != ShowAs::FullScreen);
    bool const topmost = held.madeTopmost && (all || !held.rule.onTop);
    if (!style && !topmost) return;
    WindowPlacement const now = desktop_.ReadPlacement(held.window, {});
    // A window gone has nothing to get back; a hung one is given it when it answers again.
    if (!now.read) {
        held.ownStyle.reset();
        held.madeTopmost = false;
        return;
    }
    if (desktop_.IsHung(held.window)) return;
    PlacementSteps steps;
    std::wstring details;
    if (style) {
        steps.style = *held.ownStyle;
        steps.rect = held.ownRect;
        held.ownStyle.reset();
        details = L"its own frame and place";
    }
    if (topmost) {
        steps.topmost = false;
        held.madeTopmost = false;
        details += (details.empty() ? L"" : L", ") + std::wstring(L"no longer on top");
    }
    // Queued after whatever was asked of the window before: never overtaken by a frame taken.
    releases_[desktop_.Place(held.window, steps)] = {name, details};
}

void PlacementKeeper::PlaceAgain(bool launchPaused) {
    displaysRead_ = false;
    if (launchPaused || heldBack_ || asleep_) return;
    for (auto& [name, state] : supervisor_.Book()) {
        if (state.placement.window == 0) continue;
        state.placement.outOfPlace = false;  // a new look: what it finds is news
        Apply(state.placement);
    }
}

bool PlacementKeeper::AnyAbove() const {
    for (auto const& [name, state] : supervisor_.Book()) {
        WindowHold const& held = state.placement;
        if (held.window != 0 && (held.rule.onTop || held.rule.show == ShowAs::FullScreen)) return true;
    }
    return false;
}

void PlacementKeeper::LetGoOfAll() {
    for (auto& [name, state] : supervisor_.Book()) LetGo(name, state.placement, true);
    if (!releases_.empty()) desktop_.WaitForPlacements(kLetGoWaitMilliseconds);
    TakeOutcomes();
    // A window that did not answer in time: the history says what it may still lack.
    for (auto const& [request, released] : std::exchange(releases_, {})) {
        journal_.Log(L"placement", released.name, L"could not give back " + released.details + L": the window did not answer in time");
    }
}

void PlacementKeeper::Unlisted(std::wstring const& name, ProgramState& state) const { LetGo(name, state.placement, true); }

std::vector<DisplayInfo> const& PlacementKeeper::Displays() {
    if (!displaysRead_) {
        displays_ = desktop_.Displays();
        displaysRead_ = true;
    }
    return displays_;
}

}  // namespace vigilon
