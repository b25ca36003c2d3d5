#include "engine/rules/readiness.h"

#include "app/restart_rules.h"
#include "app/start_after.h"
#include "support/blanks.h"
#include "support/local_time.h"

namespace vigilon {
namespace {

// "a", "a and b".
std::wstring Both(std::wstring const& first, std::wstring const& second) {
    if (first.empty()) return second;
    if (second.empty()) return first;
    return first + L" and " + second;
}

}  // namespace

Readiness::Readiness(Platform& platform, SupervisionJournal& journal, WatchedPrograms const& programs,
                     Supervisor& supervisor)
    : platform_(platform), journal_(journal), programs_(programs), supervisor_(supervisor), armedAt_(Now()) {
    supervisor_.AddRule(*this);
}

Readiness::~Readiness() {
    for (auto& [name, state] : supervisor_.Book()) Drop(state.start);
}

void Readiness::Arm() {
    ++round_;
    armedAt_ = Now();
}

StartWait& Readiness::WaitOf(std::wstring const& name, ProgramState& state) const {
    StartWait& wait = state.start;
    if (wait.round.number == round_) return wait;
    // Launching was paused and resumed before a pass saw the pause: that wait ends here.
    if (wait.round.waiting) journal_.Log(L"cancelled", name, L"launching was paused");
    Drop(wait);
    wait.round = {.number = round_};
    return wait;
}

void Readiness::ArmOne(ProgramState& state) const {
    Drop(state.start);
    state.start.round = {.number = round_, .armedAt = Now()};
}

bool Readiness::HoldsStart(WatchedProgram const& record, ProgramState& state, bool launchPaused) const {
    StartWait& wait = WaitOf(record.name, state);
    if (!wait.round.pending) return false;
    // Outside its hours it is not started at all: the wait begins again with its hours (ArmOne).
    if (state.phase == ProgramPhase::Off) {
        if (wait.round.waiting) End(record, wait, L"cancelled", L"outside its hours");
        return false;
    }
    // WaitFor changed meanwhile: the check under way looks for what is no longer awaited.
    if (wait.round.ticket != 0 && wait.round.ticketFor != wait.targetText) Drop(wait);
    LookUpAfter(record, wait);
    // Its window came (started by hand, or it was running already), something started it without
    // asking, or a start was asked for by name, which comes before every rule: nothing is left to wait for.
    if (state.window.Present() || state.startAsked ||
        (state.phase != ProgramPhase::Absent && state.phase != ProgramPhase::BackingOff)) {
        wait.round.pending = false;
        if (wait.round.waiting) {
            End(record, wait, L"ready", state.window.Present() ? (Windowless(record.rules) ? L"its process runs" : L"its window is there")
                                        : state.startAsked ? L"a start was asked for"
                                                           : L"started without waiting");
        }
        return false;
    }
    if (launchPaused) {
        if (wait.round.waiting) End(record, wait, L"cancelled", L"launching paused");
        return false;
    }
    if (!supervisor_.StartDue(state)) return false;
    std::int64_t const now = Now();
    if (!wait.round.waiting) {
        if (now >= DelayEnds(wait) && wait.after.empty() && !wait.target) {
            wait.round.pending = false;
            return false;
        }
        Begin(record, wait);
    }
    if (now < DelayEnds(wait)) return true;
    if (wait.round.conditionsSince < 0) wait.round.conditionsSince = now;
    // Both are looked at every time, so that the check keeps going while the other is awaited.
    bool const after = AfterMet(wait);
    bool const there = TargetThere(wait);
    if (after && there) {
        wait.round.pending = false;
        std::wstring met = Both(wait.after.empty() ? L"" : wait.after + L" answers",
                                wait.target ? wait.targetText + L" is there" : L"");
        End(record, wait, L"ready", (met.empty() ? L"" : met + L", ") + L"after " + Seconds(now - wait.round.began) + L" s");
        return false;
    }
    if (now - wait.round.conditionsSince < std::int64_t{wait.waitSeconds} * 1000) return true;
    wait.round.pending = false;
    End(record, wait, L"ready",
        L"started anyway: still waiting for " + Awaited(wait) + L" after " + std::to_wstring(wait.waitSeconds) + L" s");
    return false;
}

void Readiness::Describe(ProgramStatus& row, ProgramState const& state, bool launchPaused) const {
    if (launchPaused || row.state != StatusState::Starting) return;
    StartWait const& wait = state.start;
    if (wait.round.number != round_ || !wait.round.waiting) return;
    row.state = StatusState::Waiting;
    std::int64_t const now = Now();
    std::int64_t const delayEnds = DelayEnds(wait);
    if (now < delayEnds) {
        row.nextStart = ClockText(AddMilliseconds(platform_.events.LocalTimeNow(), delayEnds - now));
    } else {
        row.waitingFor = Awaited(wait);
    }
}

std::int64_t Readiness::DelayEnds(StartWait const& wait) const {
    std::int64_t const armed = wait.round.armedAt >= 0 ? wait.round.armedAt : armedAt_;
    return armed + std::int64_t{wait.delaySeconds} * 1000;
}

void Readiness::Read(RuleTexts const& texts, ProgramState& state) const {
    RestartRules const& now = texts.Now();
    RuleValue<int> const delay = ParseStartDelay(now.startDelay);
    RuleValue<WaitTarget> target = ParseWaitFor(now.waitFor);
    RuleValue<int> const seconds = ParseWaitSeconds(now.waitSeconds);
    texts.Refuse(kStartDelayKey, &RestartRules::startDelay, delay.problem);
    texts.Refuse(kWaitForKey, &RestartRules::waitFor, target.problem);
    texts.Refuse(kWaitSecondsKey, &RestartRules::waitSeconds, seconds.problem);
    StartWait& wait = state.start;
    wait.delaySeconds = delay.value.value_or(0);
    wait.target = std::move(target.value);
    wait.waitSeconds = seconds.value.value_or(kDefaultWaitSeconds);
    wait.targetText = std::wstring(TrimSpacesAndTabs(now.waitFor));
}

void Readiness::LookUpAfter(WatchedProgram const& record, StartWait& wait) const {
    std::wstring const text = ParseStartAfter(record.rules.startAfter).value.value_or(std::wstring());
    std::wstring const problem = StartAfterProblem(programs_, record, wait.after);
    if (problem == wait.afterSaid) return;
    wait.afterSaid = problem;
    if (!problem.empty()) journal_.Log(L"ignored", record.name, kStartAfterKey + (L"=" + text) + L": " + problem);
}

bool Readiness::AfterMet(StartWait& wait) const {
    if (wait.after.empty()) return true;
    ProgramState const* other = supervisor_.Find(wait.after);
    // A program without a window counts once its process runs: it has nothing to answer with.
    wait.round.afterMet = other != nullptr && other->window.Present() &&
                          (other->window.handle == 0 || other->startup.HasAnswered());
    if (wait.round.afterMet || other == nullptr || other->window.handle == 0) return wait.round.afterMet;
    // Its window is there but has not answered since it was found: asked here, as the hang check
    // may be off; the answer reaches its state through the supervisor.
    std::int64_t const now = Now();
    if (now >= wait.round.nextAsk) {
        platform_.processes.AskToAnswer(other->window.handle);
        wait.round.nextAsk = now + kCheckMilliseconds;
    }
    return false;
}

bool Readiness::TargetThere(StartWait& wait) const {
    if (!wait.target) return true;
    if (wait.round.ticket != 0) {
        ProbeResult const result = platform_.readiness.Take(wait.round.ticket);
        if (result == ProbeResult::There) {
            wait.round.ticket = 0;
            return true;
        }
        if (result == ProbeResult::Missing) wait.round.ticket = 0;
    }
    // One check at a time, begun at most every two seconds: a share that takes long to answer
    // is not asked again meanwhile.
    std::int64_t const now = Now();
    if (wait.round.ticket == 0 && now >= wait.round.nextCheck) {
        wait.round.ticket = platform_.readiness.Begin(wait.target->path, wait.target->host, wait.target->port);
        wait.round.ticketFor = wait.targetText;
        wait.round.nextCheck = now + kCheckMilliseconds;
    }
    return false;
}

void Readiness::Begin(WatchedProgram const& record, StartWait& wait) const {
    std::int64_t const now = Now();
    wait.round.waiting = true;
    wait.round.began = now;
    std::wstring details;
    if (now < DelayEnds(wait)) {
        details = L"until " + ClockText(AddMilliseconds(platform_.events.LocalTimeNow(), DelayEnds(wait) - now));
    }
    std::wstring const awaited = Both(wait.after, wait.target ? wait.targetText : L"");
    if (!awaited.empty()) {
        details += (details.empty() ? L"for " : L", then for ") + awaited + L", at most " +
                   std::to_wstring(wait.waitSeconds) + L" s";
    }
    journal_.Log(L"waiting", record.name, details);
}

void Readiness::End(WatchedProgram const& record, StartWait& wait, std::wstring_view event, std::wstring const& details) const {
    journal_.Log(event, record.name, details);
    Drop(wait);
    wait.round.waiting = false;
    wait.round.conditionsSince = -1;
}

void Readiness::Drop(StartWait& wait) const {
    if (wait.round.ticket != 0) platform_.readiness.Drop(wait.round.ticket);
    wait.round.ticket = 0;
}

std::wstring Readiness::Awaited(StartWait const& wait) {
    return Both(wait.after.empty() || wait.round.afterMet ? L"" : wait.after, wait.target ? wait.targetText : L"");
}

}  // namespace vigilon
