#include "engine/rules/rule.h"

#include <array>
#include <cwchar>
#include <iterator>

#include "engine/rules/escalate_rule.h"
#include "engine/supervisor.h"
#include "support/shown_url.h"

namespace vigilon {

void RuleTexts::Refuse(wchar_t const* key, std::wstring RestartRules::*text, std::wstring const& problem,
                       std::wstring RestartRules::*alsoWhen) const {
    if (problem.empty() || !(Changed(text) || (alsoWhen != nullptr && Changed(alsoWhen)))) return;
    journal_.Log(L"ignored", record_.name, key + (L"=" + ShownUrl(record_.rules.*text)) + L": not " + problem);
}

std::wstring Seconds(std::int64_t milliseconds) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%.1f", static_cast<double>(milliseconds) / 1000.0);
    return text;
}

bool AskWhetherItAnswers(Platform& platform, ProgramState& state, std::int64_t now) {
    // A program without a window has nothing to ask: it is never called hung.
    if (state.window.handle == 0 || state.window.answers.Asking() || !platform.processes.AskToAnswer(state.window.handle)) {
        return false;
    }
    state.window.answers.Asked(now);
    return true;
}

namespace {

// Restart: Always, or Failure, which leaves closed a program that exited with 0 (see JudgeEnd);
// and CrashDialog, which the start reads.
class RestartWhenRule final : public Rule {
public:
    void Read(RuleTexts const& texts, ProgramState& state) const override {
        RuleValue<RestartWhen> const when = ParseRestartWhen(texts.Now().restart);
        state.restartWhen = when.value.value_or(RestartWhen::Always);
        // Back to Always: nothing keeps the program closed any more.
        if (state.restartWhen == RestartWhen::Always &&
            (state.phase == ProgramPhase::Closed || state.phase == ProgramPhase::Lingering)) {
            MovePhase(state, ProgramPhase::Absent);
            state.lingeringProcessId = 0;
        }
        texts.Refuse(kRestartKey, &RestartRules::restart, when.problem);
        RuleValue<bool> const crashDialog = ParseCrashDialog(texts.Now().crashDialog);
        state.noCrashDialog = crashDialog.value == false;
        texts.Refuse(kCrashDialogKey, &RestartRules::crashDialog, crashDialog.problem);
    }
};

// RestartAt: the window is restarted at each of the program's daily times (see DailySchedule).
class DailyRule final : public Rule {
public:
    void Read(RuleTexts const& texts, ProgramState& state) const override {
        RuleValue<std::vector<int>> times = ParseRestartTimes(texts.Now().restartAt);
        state.restartTimes = std::move(times.value).value_or(std::vector<int>{});
        texts.Refuse(kRestartAtKey, &RestartRules::restartAt, times.problem);
    }
    // Looked at every pass, so that a time that goes by while the program is not running, or
    // launching is paused, is skipped rather than done late.
    void Look(RuleContext const& context, ProgramState& state) const override {
        state.dailyDue = !state.restartTimes.empty() &&
                         state.schedule.Due(context.platform.events.LocalTimeNow(), state.restartTimes);
    }
    std::optional<RestartAsk> RestartDue(WatchedProgram const&, RuleContext const&, ProgramState& state) const override {
        if (!state.dailyDue) return std::nullopt;
        return RestartAsk{RestartReason::Scheduled, {}, {}};
    }
};

// MaxMemoryMB: a window whose process's private memory stays over the limit for a minute is
// restarted. Its memory is read at most every MemoryWatch::kSampleInterval; one that cannot be read
// is said once for each window.
class MemoryRule final : public Rule {
public:
    void Read(RuleTexts const& texts, ProgramState& state) const override {
        RuleValue<int> const limit = ParseMemoryLimit(texts.Now().maxMemoryMB);
        state.memoryLimit = limit.value;
        texts.Refuse(kMaxMemoryKey, &RestartRules::maxMemoryMB, limit.problem);
    }
    void Found(RuleContext const&, ProgramState& state) const override {
        state.memory.Clear();
        state.memoryUnreadableSaid = false;
    }
    std::optional<RestartAsk> RestartDue(WatchedProgram const& record, RuleContext const& context,
                                         ProgramState& state) const override {
        if (!state.memoryLimit) {
            state.memory.Clear();  // not read meanwhile: the minute over the limit starts afresh
            return std::nullopt;
        }
        if (!state.memory.SampleDue(context.now)) return std::nullopt;
        std::uint64_t const bytes = context.platform.processes.PrivateMemoryBytes(state.window.processId);
        if (bytes == 0 && !state.memoryUnreadableSaid) {
            state.memoryUnreadableSaid = true;
            context.journal.Log(L"ignored", record.name,
                                L"MaxMemoryMB: the memory of process " + std::to_wstring(state.window.processId) + L" cannot be read");
        }
        if (!state.memory.Sample(context.now, bytes, *state.memoryLimit)) return std::nullopt;
        std::wstring const megabytes = std::to_wstring(state.memory.Megabytes());
        return RestartAsk{RestartReason::Memory, megabytes,
                          megabytes + L" MB, over its " + std::to_wstring(*state.memoryLimit) + L" MB limit for a minute"};
    }
    void Forget(ProgramState& state) const override { state.memory.Clear(); }
};

// HangSeconds: a window that leaves a question unanswered that long, once it has answered once or
// its start-up allowance is over, is restarted. The setting is Vigilon's, not the program's.
class HangRule final : public Rule {
public:
    void Read(RuleTexts const&, ProgramState&) const override {}
    // Its answers are the window's, and start afresh with it.
    void Found(RuleContext const& context, ProgramState& state) const override { state.startup.Found(context.now); }
    std::optional<RestartAsk> RestartDue(WatchedProgram const&, RuleContext const& context,
                                         ProgramState& state) const override {
        if (context.hangSeconds <= 0) {
            state.window.answers.Clear();
            return std::nullopt;
        }
        std::int64_t const late = state.window.answers.Unanswered(context.now);
        if (late < std::int64_t{context.hangSeconds} * 1000 || !state.startup.Over(context.now)) return std::nullopt;
        std::wstring const seconds = std::to_wstring(late / 1000);
        return RestartAsk{RestartReason::Hung, seconds, L"no answer for " + seconds + L" s"};
    }
    void Unrestarted(RuleContext const& context, ProgramState& state) const override {
        if (context.hangSeconds > 0) AskWhetherItAnswers(context.platform, state, context.now);
    }
    void Forget(ProgramState& state) const override { state.window.answers.Clear(); }
};

}  // namespace

std::span<Rule const* const> ProgramRules() {
    static RestartWhenRule const restartWhen;
    static DailyRule const daily;
    static MemoryRule const memory;
    static HangRule const hang;
    // A daily restart comes before the memory limit, and both before the check that the window answers.
    static std::array<Rule const*, 5> const rules{&restartWhen, &daily, &memory, &hang, &EscalateRule()};
    return rules;
}

}  // namespace vigilon
