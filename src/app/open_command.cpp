#include "app/open_command.h"

#include "support/blanks.h"

namespace vigilon {

std::wstring ExeFromOpenCommandText(std::wstring_view command) {
    if (command.empty()) return {};
    if (command.front() == L'"') {
        std::size_t const close = command.find(L'"', 1);
        std::size_t const end = close == std::wstring_view::npos ? command.size() : close;
        return std::wstring(command.substr(1, end - 1));
    }
    std::size_t const blank = command.find(L' ', 1);
    return std::wstring(TrimBlanks(command.substr(0, blank)));
}

void ExeFromOpenCommand(WatchedPrograms& programs, int number) {
    WatchedProgram& record = programs[number];
    record.exe = ExeFromOpenCommandText(record.exe);
    record.prefix = kJarPrefix;
}

}  // namespace vigilon
