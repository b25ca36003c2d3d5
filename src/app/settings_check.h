#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vigilon {

// Something in the settings file that Vigilon does not read, or reads otherwise than it seems to
// say.
struct SettingsProblem {
    int line = 0;          // 1-based
    std::wstring section;  // the section it is in, as written; empty above the first
    std::wstring program;  // the program it concerns, as listed; empty for none
    std::wstring text;     // what is wrong: "Notice: did you mean Notices?"

    bool operator==(SettingsProblem const&) const = default;
};

// Every problem in the text of a settings file, in the order of its lines:
// - a key Vigilon does not read, in [Apps] or in a program's section, with the known key nearest
//   to it ("Notice: did you mean Notices?") or the section it belongs in; a key only a policy sets;
// - a line without "=", a key above the first section, a key or a section given twice (only the
//   first is read);
// - a Number that is no count of programs, App<n> keys missing below it or beyond it, a name
//   listed twice, a listed name without a section, and a section that no listed name names;
// - a value that cannot be used: an option's in [Apps], a program's rule, a StartAfter that names
//   no program it can wait for. A value a key may hold a secret in is never shown.
// Only what Vigilon reads is looked into: the keys of a section no program lists are not.
std::vector<SettingsProblem> CheckSettingsText(std::wstring_view text);

// The problem as one line names it: "line 5 [Apps]: Notice: did you mean Notices?"
std::wstring DescribeProblem(SettingsProblem const& problem);

// "1 problem in vigilon.ini", "3 problems in vigilon.ini".
std::wstring ProblemCount(std::size_t count, std::wstring_view fileName);

}  // namespace vigilon
