#include "engine/launch_text.h"

#include "support/blanks.h"

namespace vigilon {

std::wstring DirectoryOf(std::wstring_view path) {
    std::size_t const slash = path.rfind(L'\\');
    if (slash != std::wstring_view::npos) return std::wstring(path.substr(0, slash + 1));
    if (path.size() >= 2 && path[1] == L':') return std::wstring(path.substr(0, 2));
    return {};
}

std::wstring LaunchParameters(std::wstring_view prefix, std::wstring_view command,
                              std::wstring_view postfix) {
    std::wstring text;
    if (!prefix.empty()) {
        text += L' ';
        text += TrimBlanks(prefix);
        text += L' ';
    }
    if (!command.empty()) {
        text += L'"';
        text += command;
        text += L'"';
    }
    if (!postfix.empty()) {
        text += L' ';
        text += TrimBlanks(postfix);
    }
    return text;
}

}  // namespace vigilon
