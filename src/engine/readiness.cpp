#include "engine/readiness.h"

#include <cwchar>
#include <iterator>

#include "app/start_after.h"
#include "support/blanks.h"
#include "support/local_time.h"

namespace vigilon {
namespace {

// Seconds with one decimal, as the history gives waits.
std::wstring Seconds(std::int64_t milliseconds) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%.1f", static_cast<double>(milliseconds) / 1000.0);
    return text;
}

// "a", "a and b".
std::wstring Both(std::wstring const& first, std::wstring const& second) {
    if (first.empty()) return second;
    if (second.empty()) return first;
    return first + L" and " + second;
}

}  // namespace

Readiness::Readiness(Platform& platform, SupervisionJournal& journal, WatchedPrograms const& programs,
                     Supervisor const& supervisor)
    : platform_(platform), journal_(journal), programs_(programs), supervisor_(supervisor), armedAt_(Now()) {}

Readiness::~Readiness() {
    for (auto& [name, entry] : entries_) {
        if (entry.wait.ticket != 0) platform_.readiness.Drop(entry.wait.ticket);
    }
}

void Readiness::Arm() {
    ++round_;
    armedAt_ = Now();
}

Readiness::Entry& Readiness::EntryOf(std::wstring const& name) {
    Entry& entry = entries_[name];
    Wait& wait = entry.wait;
    if (wait.round == round_) return entry;
    // Launching was paused and resumed before a pass saw the pause: that wait ends here.
    if (wait.waiting) journal_.Log(L"cancelled", name, L"launching was paused");
    if (wait.ticket != 0) platform_.readiness.Drop(wait.ticket);
    wait = Wait{};
    wait.round = round_;
    return entry;
}

bool Readiness::Holds(WatchedProgram const& record, ProgramState const& state, bool launchPaused) {
    ForgetUnlisted();
    Entry& entry = EntryOf(record.name);
    Wait& wait = entry.wait;
    if (!wait.pending) return false;
    Rules& rules = entry.rules;
    std::wstring const targetBefore = rules.targetText;
    ReadRules(record, rules);
    // WaitFor changed meanwhile: the check under way looks for what is no longer awaited.
    if (rules.targetText != targetBefore && wait.ticket != 0) {
        platform_.readiness.Drop(wait.ticket);
        wait.ticket = 0;
    }
    LookUpAfter(record, rules);
    // Its window came (started by hand, or it was running already), something started it without
    // asking, or a start was asked for by name, which comes before every rule: nothing is left to wait for.
    if (state.window != 0 || state.startAsked ||
        (state.phase != ProgramPhase::Absent && state.phase != ProgramPhase::BackingOff)) {
        wait.pending = false;
        if (wait.waiting) {
            End(record, wait, L"ready", state.window != 0 ? L"its window is there"
                                        : state.startAsked ? L"a start was asked for"
                                                           : L"started without waiting");
        }
        return false;
    }
    if (launchPaused) {
        if (wait.waiting) End(record, wait, L"cancelled", L"launching paused");
        return false;
    }
    if (!supervisor_.StartDue(state)) return false;
    std::int64_t const now = Now();
    if (!wait.waiting) {
        if (now >= DelayEnds(rules) && rules.after.empty() && !rules.target) {
            wait.pending = false;
            return false;
        }
        Begin(record, rules, wait);
    }
    if (now < DelayEnds(rules)) return true;
    if (wait.conditionsSince < 0) wait.conditionsSince = now;
    // Both are looked at every time, so that the check keeps going while the other is awaited.
    bool const after = AfterMet(rules, wait);
    bool const there = TargetThere(rules, wait);
    if (after && there) {
        wait.pending = false;
        std::wstring met = Both(rules.after.empty() ? L"" : rules.after + L" answers",
                                rules.target ? rules.targetText + L" is there" : L"");
        End(record, wait, L"ready", (met.empty() ? L"" : met + L", ") + L"after " + Seconds(now - wait.began) + L" s");
        return false;
    }
    if (now - wait.conditionsSince < std::int64_t{rules.waitSeconds} * 1000) return true;
    wait.pending = false;
    End(record, wait, L"ready",
        L"started anyway: still waiting for " + Awaited(rules, wait) + L" after " + std::to_wstring(rules.waitSeconds) + L" s");
    return false;
}

void Readiness::Describe(ProgramStatus& row, bool launchPaused) const {
    if (launchPaused || row.state != StatusState::Starting) return;
    auto const it = entries_.find(row.name);
    if (it == entries_.end()) return;
    Wait const& wait = it->second.wait;
    if (wait.round != round_ || !wait.waiting) return;
    row.state = StatusState::Waiting;
    std::int64_t const now = Now();
    std::int64_t const delayEnds = DelayEnds(it->second.rules);
    if (now < delayEnds) {
        row.nextStart = ClockText(AddMilliseconds(platform_.events.LocalTimeNow(), delayEnds - now));
    } else {
        row.waitingFor = Awaited(it->second.rules, wait);
    }
}

std::int64_t Readiness::DelayEnds(Rules const& rules) const { return armedAt_ + std::int64_t{rules.delaySeconds} * 1000; }

void Readiness::ReadRules(WatchedProgram const& record, Rules& rules) {
    RestartRules const& now = record.rules;
    RestartRules& read = rules.read;
    if (now.startDelay == read.startDelay && now.waitFor == read.waitFor && now.waitSeconds == read.waitSeconds) return;
    // Each value that cannot be used is said once, when its text is new, and its rule is off.
    auto say = [&](wchar_t const* key, std::wstring const& text, std::wstring const& before, std::wstring const& problem) {
        if (!problem.empty() && text != before) journal_.Log(L"ignored", record.name, key + (L"=" + text) + L": not " + problem);
    };
    RuleValue<int> const delay = ParseStartDelay(now.startDelay);
    RuleValue<WaitTarget> target = ParseWaitFor(now.waitFor);
    RuleValue<int> const seconds = ParseWaitSeconds(now.waitSeconds);
    say(kStartDelayKey, now.startDelay, read.startDelay, delay.problem);
    say(kWaitForKey, now.waitFor, read.waitFor, target.problem);
    say(kWaitSecondsKey, now.waitSeconds, read.waitSeconds, seconds.problem);
    rules.delaySeconds = delay.value.value_or(0);
    rules.target = std::move(target.value);
    rules.waitSeconds = seconds.value.value_or(kDefaultWaitSeconds);
    read.startDelay = now.startDelay;
    read.waitFor = now.waitFor;
    read.waitSeconds = now.waitSeconds;
    rules.targetText = std::wstring(TrimSpacesAndTabs(now.waitFor));
}

void Readiness::LookUpAfter(WatchedProgram const& record, Rules& rules) {
    std::wstring const text = ParseStartAfter(record.rules.startAfter).value.value_or(std::wstring());
    std::wstring const problem = StartAfterProblem(programs_, record, rules.after);
    if (problem == rules.afterSaid) return;
    rules.afterSaid = problem;
    if (!problem.empty()) journal_.Log(L"ignored", record.name, kStartAfterKey + (L"=" + text) + L": " + problem);
}

bool Readiness::AfterMet(Rules const& rules, Wait& wait) {
    if (rules.after.empty()) return true;
    ProgramState const* other = supervisor_.Find(rules.after);
    wait.afterMet = other != nullptr && other->window != 0 && other->startup.HasAnswered();
    if (wait.afterMet || other == nullptr || other->window == 0) return wait.afterMet;
    // Its window is there but has not answered since it was found: asked here, as the hang check
    // may be off; the answer reaches its state through the supervisor.
    std::int64_t const now = Now();
    if (now >= wait.nextAsk) {
        platform_.processes.AskToAnswer(other->window);
        wait.nextAsk = now + kCheckMilliseconds;
    }
    return false;
}

bool Readiness::TargetThere(Rules const& rules, Wait& wait) {
    if (!rules.target) return true;
    if (wait.ticket != 0) {
        ProbeResult const result = platform_.readiness.Take(wait.ticket);
        if (result == ProbeResult::There) {
            wait.ticket = 0;
            return true;
        }
        if (result == ProbeResult::Missing) wait.ticket = 0;
    }
    // One check at a time, begun at most every two seconds: a share that takes long to answer
    // is not asked again meanwhile.
    std::int64_t const now = Now();
    if (wait.ticket == 0 && now >= wait.nextCheck) {
        wait.ticket = platform_.readiness.Begin(rules.target->path, rules.target->host, rules.target->port);
        wait.nextCheck = now + kCheckMilliseconds;
    }
    return false;
}

void Readiness::Begin(WatchedProgram const& record, Rules const& rules, Wait& wait) {
    std::int64_t const now = Now();
    wait.waiting = true;
    wait.began = now;
    std::wstring details;
    if (now < DelayEnds(rules)) {
        details = L"until " + ClockText(AddMilliseconds(platform_.events.LocalTimeNow(), DelayEnds(rules) - now));
    }
    std::wstring const awaited = Both(rules.after, rules.target ? rules.targetText : L"");
    if (!awaited.empty()) {
        details += (details.empty() ? L"for " : L", then for ") + awaited + L", at most " +
                   std::to_wstring(rules.waitSeconds) + L" s";
    }
    journal_.Log(L"waiting", record.name, details);
}

void Readiness::End(WatchedProgram const& record, Wait& wait, std::wstring_view event, std::wstring const& details) {
    journal_.Log(event, record.name, details);
    if (wait.ticket != 0) platform_.readiness.Drop(wait.ticket);
    wait.ticket = 0;
    wait.waiting = false;
    wait.conditionsSince = -1;
}

void Readiness::ForgetUnlisted() {
    // Every program visited has an entry: more entries than programs means some were deleted.
    if (entries_.size() <= static_cast<std::size_t>(programs_.Count())) return;
    std::erase_if(entries_, [&](auto& entry) {
        if (programs_.Find(entry.first) != 0) return false;
        if (entry.second.wait.ticket != 0) platform_.readiness.Drop(entry.second.wait.ticket);
        return true;
    });
}

std::wstring Readiness::Awaited(Rules const& rules, Wait const& wait) {
    return Both(rules.after.empty() || wait.afterMet ? L"" : rules.after, rules.target ? rules.targetText : L"");
}

}  // namespace vigilon
