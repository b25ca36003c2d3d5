#include "engine/rules/health_rule.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "engine/rules/restart_reasons.h"

namespace vigilon {

HealthRule::HealthRule(Platform& platform, SupervisionJournal& journal, Supervisor& supervisor, std::wstring folder,
                       ShownWindow shown)
    : platform_(platform),
      journal_(journal),
      supervisor_(supervisor),
      folder_(std::move(folder)),
      shown_(std::move(shown)),
      variables_([&system = platform.system](std::wstring_view name) { return system.EnvironmentVariable(name); }) {
    supervisor_.AddRule(*this);
}

HealthRule::~HealthRule() {
    for (auto& [name, state] : supervisor_.Book()) Drop(state.health);
    for (Asked const& asked : asked_) {
        if (asked.ticket != 0) platform_.health.Drop(asked.ticket);
    }
}

void HealthRule::ParseKeys(RestartRules const& rules, HealthWatch& health, RuleTexts const* texts) {
    RuleValue<HealthCheck> check = ParseHealthCheck(rules.check);
    RuleValue<std::wstring> text = ParseCheckText(rules.checkText);
    RuleValue<int> const age = ParseCheckAge(rules.checkAge);
    RuleValue<int> const seconds = ParseCheckSeconds(rules.checkSeconds);
    RuleValue<int> const timeout = ParseCheckTimeout(rules.checkTimeout);
    RuleValue<int> const grace = ParseCheckGrace(rules.checkGrace);
    RuleValue<int> const failures = ParseCheckFailures(rules.checkFailures);
    RuleValue<CheckAction> const action = ParseCheckAction(rules.checkAction);
    health.check = std::move(check.value);
    // A window: check is judged by the program's window: a program without one cannot have it.
    bool const needsWindow = health.check && health.check->kind == CheckKind::Window && Windowless(rules);
    if (needsWindow) health.check.reset();
    health.text = std::move(text.value).value_or(std::wstring());
    health.maxAge = age.value;
    health.seconds = seconds.value.value_or(kDefaultCheckSeconds);
    health.timeout = timeout.value.value_or(kDefaultCheckTimeout);
    health.grace = grace.value.value_or(kDefaultCheckGrace);
    health.failuresAllowed = failures.value.value_or(kDefaultCheckFailures);
    health.action = action.value.value_or(CheckAction::Restart);
    if (texts == nullptr) return;
    texts->Refuse(kCheckKey, &RestartRules::check,
                  needsWindow ? L"usable for a program without a window (Window=None): window: needs one" : check.problem,
                  &RestartRules::window);
    texts->Refuse(kCheckAgeKey, &RestartRules::checkAge, age.problem);
    texts->Refuse(kCheckSecondsKey, &RestartRules::checkSeconds, seconds.problem);
    texts->Refuse(kCheckTimeoutKey, &RestartRules::checkTimeout, timeout.problem);
    texts->Refuse(kCheckGraceKey, &RestartRules::checkGrace, grace.problem);
    texts->Refuse(kCheckFailuresKey, &RestartRules::checkFailures, failures.problem);
    texts->Refuse(kCheckActionKey, &RestartRules::checkAction, action.problem);
    // A key of one kind of check only: said when it is set beside another kind.
    bool const http = health.check && health.check->kind == CheckKind::Http;
    bool const file = health.check && health.check->kind == CheckKind::File;
    texts->Refuse(kCheckTextKey, &RestartRules::checkText, health.text.empty() || http ? L"" : L"used without an http check",
                  &RestartRules::check);
    texts->Refuse(kCheckAgeKey, &RestartRules::checkAge, !health.maxAge || file ? L"" : L"used without a file: check",
                  &RestartRules::check);
}

void HealthRule::Read(RuleTexts const& texts, ProgramState& state) const {
    HealthWatch& health = state.health;
    auto const asked = [](HealthWatch const& h) { return std::tuple(h.check, h.text, h.maxAge); };
    auto const before = asked(health);
    ParseKeys(texts.Now(), health, &texts);
    if (asked(health) == before) return;
    // Another check: what the last one found says nothing of this one.
    Drop(health);
    health.failures = 0;
    health.shownSince = -1;
    health.nextCheck = 0;
    health.told = false;
    health.last.reset();
    health.unaskedSaid.clear();
}

void HealthRule::Look(RuleContext const&, ProgramState& state) const {
    HealthWatch& health = state.health;
    bool const checked = state.phase == ProgramPhase::Running || state.phase == ProgramPhase::LeftAlone;
    if (health.ticket != 0 && (!checked || state.window.handle != health.ticketFor)) Drop(health);
}

void HealthRule::Found(RuleContext const& context, ProgramState& state) const {
    // Every start starts the count over, and its grace with it.
    HealthWatch& health = state.health;
    Drop(health);
    health.failures = 0;
    health.shownSince = -1;
    health.foundAt = context.now;
    health.nextCheck = 0;
    // What the last window's checks found, and told, says nothing of this one.
    health.told = false;
    health.last.reset();
}

std::optional<RestartAsk> HealthRule::RestartDue(WatchedProgram const& record, RuleContext const& context,
                                                 ProgramState& state) const {
    HealthWatch& health = state.health;
    if (!health.check || state.phase != ProgramPhase::Running) return std::nullopt;
    bool const restart = health.action == CheckAction::Restart;
    bool const spared = state.spared.Holds(state.window.handle, RestartReason::Check, context.now);
    auto const restarts = [&] { return restart && !spared && state.restartLimit.Allows(RestartReason::Check, context.now); };
    Settle(record, context, state);
    // No check begins in the pass that restarts the window: it would only be ended.
    if (!(health.Failing() && restarts())) BeginDue(record, context, state);
    if (!health.Failing()) return std::nullopt;
    std::wstring const details = health.last->verdict.details;
    // A restart made is told by the supervisor, with its picture, and one the hourly limit holds
    // by the supervisor's `held`; one that only reports, or that its window was spared from, here.
    bool const told = std::exchange(health.told, true);
    if (!told && (!restart || spared)) Tell(record, details);
    if (!restart) return std::nullopt;
    return RestartAsk{RestartReason::Check, details, details};
}

void HealthRule::LeftAlone(WatchedProgram const& record, RuleContext const& context, ProgramState& state,
                           bool launchPaused) const {
    HealthWatch& health = state.health;
    if (launchPaused) Forget(state);  // as a running one: not checked while paused
    if (!health.check || launchPaused) return;
    Settle(record, context, state);
    BeginDue(record, context, state);
    if (health.Failing() && !std::exchange(health.told, true)) Tell(record, health.last->verdict.details);
}

void HealthRule::Settle(WatchedProgram const& record, RuleContext const& context, ProgramState& state) const {
    HealthWatch& health = state.health;
    if (context.lastGap > health.foundAt) {
        // Asleep, or the passes stopped: a check under way spanned it, and what it reaches (a
        // network, a server) may need a while after: the grace starts over.
        Drop(health);
        health.foundAt = context.now;
        health.nextCheck = 0;
    }
    TakeAnswer(record, context, state);
}

void HealthRule::BeginDue(WatchedProgram const& record, RuleContext const& context, ProgramState& state) const {
    HealthWatch const& health = state.health;
    bool const due = context.now >= health.foundAt + std::int64_t{health.grace} * 1000 && context.now >= health.nextCheck;
    if (health.ticket == 0 && due && !AskedUnderWay(record.name)) Begin(record, context, state);
}

bool HealthRule::AskedUnderWay(std::wstring const& program) const {
    return std::any_of(asked_.begin(), asked_.end(),
                       [&](Asked const& asked) { return asked.ticket != 0 && !asked.verdict && asked.program == program; });
}

void HealthRule::Forget(ProgramState& state) const {
    // Launching paused, or the window spared: the count starts over once it runs on.
    Drop(state.health);
    state.health.failures = 0;
    state.health.shownSince = -1;
}

void HealthRule::Describe(ProgramStatus& row, ProgramState const& state, bool launchPaused) const {
    if (launchPaused || row.state != StatusState::Running || !state.health.Failing()) return;
    row.state = StatusState::Unhealthy;
    row.health = state.health.last->verdict.details;
}

void HealthRule::ForgetAll() const {
    for (auto& [name, state] : supervisor_.Book()) Forget(state);
}

void HealthRule::Unlisted(std::wstring const&, ProgramState& state) const { Drop(state.health); }

HealthQuestion HealthRule::Question(HealthWatch const& health) const { return QuestionOf(health, folder_, variables_); }

void HealthRule::TakeAnswer(WatchedProgram const& record, RuleContext const& context, ProgramState& state) const {
    HealthWatch& health = state.health;
    if (health.ticket == 0) return;
    if (std::optional<HealthAnswer> const answer = platform_.health.Take(health.ticket)) {
        health.answered = std::exchange(health.ticket, 0);
        Count(record, state, Judge(Question(health), *answer, health.maxAge));
        return;
    }
    // The probe ends a check at its timeout; one that has not answered well past it never will.
    if (context.now - health.began < std::int64_t{health.timeout} * 1000 + kGiveUpAfter) return;
    health.answered = health.ticket;
    Drop(health);
    Count(record, state, NoAnswerWithin(health.timeout));
}

void HealthRule::Begin(WatchedProgram const& record, RuleContext const& context, ProgramState& state) const {
    HealthWatch& health = state.health;
    if (health.check->kind != CheckKind::Window) {
        bool const command = health.check->kind == CheckKind::Run;
        // Both asked, so that each keeps what it turned away. Due still when not: a later pass begins it.
        bool const mayCheck = checksBudget_.May(context.now, health.nextCheck);
        if (!(command ? commandsBudget_.May(context.now, health.nextCheck) && mayCheck : mayCheck)) return;
        health.nextCheck = context.now + std::int64_t{health.seconds} * 1000;
        if (std::wstring const unset = UnsetVariable(health, variables_); !unset.empty()) {
            Unasked(record, health, unset);
            return;
        }
        checksBudget_.Take();
        if (command) commandsBudget_.Take();
        health.ticket = platform_.health.Begin(Question(health));
        health.ticketFor = state.window.handle;
        health.began = context.now;
        return;
    }
    health.nextCheck = context.now + std::int64_t{health.seconds} * 1000;
    std::optional<std::wstring> const caption = ErrorWindow(health, state);
    if (!caption) {
        health.shownSince = -1;
    } else if (health.shownSince < 0) {
        health.shownSince = context.now;
    }
    Count(record, state, WindowVerdict(health.check->target, caption, context.now - health.shownSince));
}

std::optional<std::wstring> HealthRule::ErrorWindow(HealthWatch const& health, ProgramState const& state) const {
    if (state.window.handle == 0 || state.window.processId == 0) return std::nullopt;
    return shown_(state.window.processId, state.window.handle, health.check->target);
}

void HealthRule::Count(WatchedProgram const& record, ProgramState& state, HealthVerdict verdict) const {
    HealthWatch& health = state.health;
    if (verdict.unasked) {
        Unasked(record, health, verdict.details);
        return;
    }
    if (verdict.works) {
        if (std::exchange(health.told, false)) journal_.Log(L"healthy", record.name, verdict.details);
        // A later bout held by the hourly limit is said again, not taken for this one.
        state.restartLimit.Recovered(RestartReason::Check);
        health.failures = 0;
    } else {
        ++health.failures;
    }
    health.last = HealthWatch::Result{platform_.events.LocalTimeNow(), std::move(verdict)};
}

void HealthRule::Tell(WatchedProgram const& record, std::wstring const& details) const {
    journal_.Log(vigilon::Describe(TroubleKind::Unhealthy).word, record.name, details);
    journal_.Trouble(TroubleKind::Unhealthy, record.name, details);
    journal_.Notice(record.name + L" does not work: " + details + L".");
}

void HealthRule::Unasked(WatchedProgram const& record, HealthWatch& health, std::wstring const& why) const {
    if (health.unaskedSaid == why) return;
    health.unaskedSaid = why;
    journal_.Log(L"ignored", record.name, std::wstring(kCheckKey) + L"=" + ShownUrl(record.rules.check) + L": " + why);
}

void HealthRule::Drop(HealthWatch& health) const {
    if (health.ticket != 0) platform_.health.Drop(health.ticket);
    health.ticket = 0;
}

std::uint32_t HealthRule::Ask(WatchedProgram const& record, ProgramState& state) {
    HealthWatch health;
    ParseKeys(record.rules, health, nullptr);
    if (!health.check) return 0;
    Asked asked;
    asked.id = ++lastAsked_;
    asked.program = record.name;
    asked.maxAge = health.maxAge;
    asked.began = platform_.events.MonotonicMilliseconds();
    if (health.check->kind == CheckKind::Window) {
        std::optional<std::wstring> const caption = ErrorWindow(health, state);
        bool const seen = caption && state.health.shownSince >= 0 && state.health.check == health.check;
        std::int64_t const shownFor = seen ? supervisor_.PassTime() - state.health.shownSince : 0;
        asked.verdict = state.window.handle == 0 ? HealthVerdict{false, L"its window is not there"}
                                                 : WindowVerdict(health.check->target, caption, shownFor);
    } else {
        asked.question = Question(health);
        // One check of a program at a time: the scheduled one under way gives way, and is begun
        // again once this one has ended.
        if (state.health.ticket != 0) {
            Drop(state.health);
            state.health.nextCheck = 0;
        }
        asked.ticket = platform_.health.Begin(asked.question);
    }
    asked_.push_back(std::move(asked));
    return lastAsked_;
}

std::vector<HealthRule::Settled> HealthRule::TakeSettled() {
    std::vector<Settled> settled;
    std::int64_t const now = platform_.events.MonotonicMilliseconds();
    std::erase_if(asked_, [&](Asked& asked) {
        if (asked.ticket != 0 && !asked.verdict) {
            if (std::optional<HealthAnswer> const answer = platform_.health.Take(asked.ticket)) {
                asked.verdict = Judge(asked.question, *answer, asked.maxAge);
            } else if (now - asked.began >= asked.question.timeoutMilliseconds + kGiveUpAfter) {
                platform_.health.Drop(asked.ticket);
                asked.verdict = NoAnswerWithin(asked.question.timeoutMilliseconds / 1000);
            }
        }
        if (!asked.verdict) return false;
        journal_.Log(L"checked", asked.program, (asked.verdict->works ? L"works: " : L"does not work: ") + asked.verdict->details);
        settled.push_back({asked.id, asked.program, std::move(*asked.verdict)});
        return true;
    });
    return settled;
}

}  // namespace vigilon
