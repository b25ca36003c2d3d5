#include "engine/placement_keeper.h"

#include <utility>

namespace vigilon {
namespace {

// The keys of the placement rule, apart from the rest of the program's rules.
bool SameKeys(RestartRules const& a, RestartRules const& b) {
    return a.show == b.show && a.monitor == b.monitor && a.onTop == b.onTop;
}

}  // namespace

bool PlacementKeeper::KeepsShown(WatchedProgram const& record) {
    RuleValue<ShowAs> const show = ParseShowAs(record.rules.show);
    return show.value.value_or(ShowAs::Hidden) != ShowAs::Hidden;
}

bool PlacementKeeper::Keep(WatchedProgram const& record, WindowHandle window, bool launchPaused) {
    auto found = held_.find(record.name);
    if (found == held_.end()) {
        // A program without a rule costs nothing: not even a state is kept for it.
        if (record.rules.show.empty() && record.rules.monitor.empty() && record.rules.onTop.empty()) return false;
        found = held_.emplace(record.name, Held{}).first;
    }
    Held& held = found->second;
    if (held.window != window) {
        LetGo(record.name, held, true);  // another window took its caption: the old one gets its own back
        Held fresh;
        fresh.window = window;
        fresh.texts = held.texts;
        fresh.rule = held.rule;
        fresh.rulesRead = held.rulesRead;
        held = fresh;
    }
    ReadRule(record, held);
    LetGo(record.name, held, false);
    if (!launchPaused && !heldBack_) Apply(held);
    return held.rule.KeepsShown();
}

void PlacementKeeper::ReadRule(WatchedProgram const& record, Held& held) {
    if (held.rulesRead && SameKeys(record.rules, held.texts)) return;
    held.rulesRead = true;
    held.texts = record.rules;
    // Another rule: what the last one met is no longer its news (a refused window is still asked
    // at most once a minute, and what it says then is said afresh).
    held.problem.clear();
    held.outOfPlace = false;
    PlacementRuleRead const read = ReadPlacementRule(record.rules);
    held.rule = read.rule;
    for (std::wstring const& refused : read.refused) journal_.Log(L"ignored", record.name, refused);
}

void PlacementKeeper::Apply(Held& held) {
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
        for (auto& [name, held] : held_) {
            if (held.asked == outcome.request && held.window == outcome.window) {
                Placed(name, held, outcome);
                break;
            }
        }
    }
}

void PlacementKeeper::Placed(std::wstring const& name, Held& held, PlacementOutcome const& outcome) {
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

std::wstring PlacementKeeper::Problem(std::wstring const& name) const {
    auto const found = held_.find(name);
    return found == held_.end() ? std::wstring() : found->second.problem;
}

void PlacementKeeper::LetGo(std::wstring const& name, Held& held, bool all) {
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
    if (launchPaused || heldBack_) return;
    for (auto& [name, held] : held_) {
        if (held.window == 0) continue;
        held.outOfPlace = false;  // a new look: what it finds is news
        Apply(held);
    }
}

bool PlacementKeeper::AnyAbove() const {
    for (auto const& [name, held] : held_) {
        if (held.window != 0 && (held.rule.onTop || held.rule.show == ShowAs::FullScreen)) return true;
    }
    return false;
}

void PlacementKeeper::LetGoOfAll() {
    for (auto& [name, held] : held_) LetGo(name, held, true);
    if (!releases_.empty()) desktop_.WaitForPlacements(kLetGoWaitMilliseconds);
    TakeOutcomes();
    // A window that did not answer in time: the history says what it may still lack.
    for (auto const& [request, released] : std::exchange(releases_, {})) {
        journal_.Log(L"placement", released.name, L"could not give back " + released.details + L": the window did not answer in time");
    }
}

void PlacementKeeper::ForgetUnlisted(std::function<bool(std::wstring const&)> const& listed) {
    for (auto it = held_.begin(); it != held_.end();) {
        if (listed(it->first)) {
            ++it;
            continue;
        }
        LetGo(it->first, it->second, true);
        it = held_.erase(it);
    }
}

std::vector<DisplayInfo> const& PlacementKeeper::Displays() {
    if (!displaysRead_) {
        displays_ = desktop_.Displays();
        displaysRead_ = true;
    }
    return displays_;
}

}  // namespace vigilon
