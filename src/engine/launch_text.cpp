#include "engine/launch_text.h"

#include "support/blanks.h"

namespace vigilon {

std::wstring DirectoryOf(std::wstring_view path) {
    std::size_t const slash = path.rfind(L'\\');
    if (slash != std::wstring_view::npos) return std::wstring(path.substr(0, slash + 1));
    if (path.size() >= 2 && path[1] == L':') return std::wstring(path.substr(0, 2));
    return {};
}

std::wstring QuoteArgument(std::wstring_view text) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a double quote.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring LaunchParameters(std::wstring_view prefix, std::wstring_view command,
                              std::wstring_view postfix) {
    std::wstring text;
    if (!prefix.empty()) {
        text += L' ';
        text += TrimBlanks(prefix);
        text += L' ';
    }
    if (!command.empty()) text += QuoteArgument(command);
    if (!postfix.empty()) {
        text += L' ';
        text += TrimBlanks(postfix);
    }
    return text;
}

}  // namespace vigilon
