#include "engine/watch_engine.h"

#include "support/text_case.h"

namespace vigilon {

void WatchEngine::SetSettingsProblems(std::wstring fileName, std::vector<SettingsProblem> problems) {
    settingsFileName_ = std::move(fileName);
    settingsProblems_ = std::move(problems);
    if (startRecorded_) SayNewSettingsProblems();
}

void WatchEngine::SayNewSettingsProblems() {
    SettingsProblem const* first = nullptr;
    for (SettingsProblem const& problem : settingsProblems_) {
        if (!settingsSaid_.insert(ToUpperText(problem.program) + L"\t" + problem.text).second) continue;
        Log(L"settings", problem.program, DescribeProblem(problem));
        if (first == nullptr) first = &problem;
    }
    if (first == nullptr) return;
    std::size_t const count = settingsProblems_.size();
    host_.ShowNotice(ProblemCount(count, settingsFileName_) + (count > 1 ? L" (the history lists them all): " : L": ") +
                     DescribeProblem(*first));
}

}  // namespace vigilon
