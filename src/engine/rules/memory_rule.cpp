#include "engine/rules/rule.h"
#include "engine/supervisor.h"

namespace vigilon {
namespace {

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
        std::uint64_t const bytes = context.platform.processes.PrivateMemoryBytes(state.processId);
        if (bytes == 0 && !state.memoryUnreadableSaid) {
            state.memoryUnreadableSaid = true;
            context.journal.Log(L"ignored", record.name,
                                L"MaxMemoryMB: the memory of process " + std::to_wstring(state.processId) + L" cannot be read");
        }
        if (!state.memory.Sample(context.now, bytes, *state.memoryLimit)) return std::nullopt;
        std::wstring const megabytes = std::to_wstring(state.memory.Megabytes());
        return RestartAsk{RestartReason::Memory, megabytes,
                          megabytes + L" MB, over its " + std::to_wstring(*state.memoryLimit) + L" MB limit for a minute"};
    }
    void Forget(ProgramState& state) const override { state.memory.Clear(); }
};

}  // namespace

Rule const& TheMemoryRule() {
    static MemoryRule const rule;
    return rule;
}

}  // namespace vigilon
