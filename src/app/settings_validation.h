#pragma once

#include <string>

#include "app/settings_file.h"

namespace vigilon {

// Exit codes of `vigilon.exe /validate [path]`.
inline constexpr int kValidateNoProblems = 0;
inline constexpr int kValidateProblems = 1;
inline constexpr int kValidateUnreadable = 2;

struct ValidationResult {
    int exitCode = kValidateNoProblems;
    std::wstring text;  // what the command prints: each problem on a line, then how many
};

// An administrator's check of a settings file before it is deployed: every problem
// CheckSettingsText finds in it, with its line. It reads the file and nothing else: it works
// whether or not a copy of Vigilon runs, and starts none.
ValidationResult ValidateSettingsFile(SettingsFile const& file);

}  // namespace vigilon
