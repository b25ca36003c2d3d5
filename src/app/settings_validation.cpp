#include "app/settings_validation.h"

#include "app/settings_check.h"

namespace vigilon {

ValidationResult ValidateSettingsFile(SettingsFile const& file) {
    std::optional<std::wstring> const text = file.ReadText();
    if (!text) {
        bool const there = file.Store().ProfileExists(file.Path());
        return {kValidateUnreadable,
                file.Path() + (there ? L" could not be read: close any program that holds it open, and check that it is "
                                       L"a file you may read.\r\n"
                                     : L" is not there.\r\n")};
    }
    std::vector<SettingsProblem> const problems = CheckSettingsText(*text);
    if (problems.empty()) return {kValidateNoProblems, L"No problems in " + file.Path() + L".\r\n"};
    std::wstring said;
    for (SettingsProblem const& problem : problems) said += DescribeProblem(problem) + L"\r\n";
    return {kValidateProblems, said + ProblemCount(problems.size(), file.Path()) + L".\r\n"};
}

}  // namespace vigilon
