#include "engine/watch_engine.h"

namespace vigilon {

WatchEngine::AskedCheck WatchEngine::AskCheck(std::wstring_view name) {
    int const number = programs_.FindByName(name);
    if (number == 0) return {};
    WatchedProgram const& record = programs_[number];
    std::uint32_t const id = health_.Ask(record, supervisor_.StateOf(record.name));
    if (id == 0) return {AskedCheck::Kind::NoCheck, 0};
    return {AskedCheck::Kind::Begun, id};
}

std::vector<WatchEngine::SettledCheck> WatchEngine::SettledChecks() {
    std::vector<SettledCheck> settled;
    for (HealthRule::Settled& check : health_.TakeSettled()) {
        settled.push_back({check.id, std::move(check.program), check.verdict.works, std::move(check.verdict.details)});
    }
    return settled;
}

}  // namespace vigilon
