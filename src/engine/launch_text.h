#pragma once

#include <string>
#include <string_view>

namespace vigilon {

// The leading part of `path` up to and including its last backslash; for a path without one that
// starts with a drive and a colon, the drive and the colon; otherwise empty.
std::wstring DirectoryOf(std::wstring_view path);

// The text in double quotes as one argument of a command line, so that a program that splits its
// command line by the usual rules gets it back unchanged: backslashes before a double quote, and
// before the closing quote, are doubled, and a double quote inside is preceded by a backslash. A
// folder with its final backslash ("C:\") thus arrives whole instead of swallowing the closing quote.
std::wstring QuoteArgument(std::wstring_view text);

// The parameter text a program is started with: the prefix (trimmed) between blanks, the command
// as one quoted argument, and a blank and the postfix (trimmed); each part only when it is not empty.
std::wstring LaunchParameters(std::wstring_view prefix, std::wstring_view command,
                              std::wstring_view postfix);

}  // namespace vigilon
