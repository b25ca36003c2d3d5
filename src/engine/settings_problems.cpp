#include "engine/watch_engine.h"

#include "support/text_case.h"

#include <set>

namespace vigilon {

void WatchEngine::SetSettingsProblems(std::wstring fileName, std::vector<SettingsProblem> problems) {
    settingsFileName_ = std::move(fileName);
    settingsProblems_ = std::move(problems);
    if (startRecorded_) SayNewSettingsProblems();
}

std::wstring WatchEngine::SaidKey(std::wstring_view program, std::wstring_view text) {
    return ToUpperText(program) + L"\t" + std::wstring(text);
}

void WatchEngine::SayNewSettingsProblems() {
    // A problem mended is forgotten: should it come back, it is news again.
    std::set<std::wstring> stillThere;
    for (SettingsProblem const& problem : settingsProblems_) stillThere.insert(SaidKey(problem.program, problem.text));
    std::erase_if(settingsSaid_, [&](std::wstring const& said) { return stillThere.count(said) == 0; });
    SettingsProblem const* first = nullptr;
    for (SettingsProblem const& problem : settingsProblems_) {
        if (!settingsSaid_.insert(SaidKey(problem.program, problem.text)).second) continue;
        Log(L"settings", problem.program, DescribeProblem(problem));
        if (first == nullptr) first = &problem;
    }
    if (first == nullptr) return;
    std::size_t const count = settingsProblems_.size();
    host_.ShowNotice(ProblemCount(count, settingsFileName_) + (count > 1 ? L" (the history lists them all): " : L": ") +
                     DescribeProblem(*first));
}

}  // namespace vigilon
