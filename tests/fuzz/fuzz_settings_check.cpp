// The check of a settings file's text: every problem is named at a line the text has, with words.
#include <algorithm>

#include "app/settings_check.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    using namespace vigilon;
    std::wstring const text = fuzzing::WideText(data, size);
    int const lines = static_cast<int>(std::count(text.begin(), text.end(), L'\n')) + 1;
    std::vector<SettingsProblem> const problems = CheckSettingsText(text);
    int previous = 0;
    for (SettingsProblem const& problem : problems) {
        fuzzing::Require(problem.line >= 1 && problem.line <= lines && problem.line >= previous);
        fuzzing::Require(!problem.text.empty() && !DescribeProblem(problem).empty());
        previous = problem.line;
    }
    fuzzing::Require(problems == CheckSettingsText(text));
    return 0;
}
