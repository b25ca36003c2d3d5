#include "app/start_mode.h"

#include "support/text_case.h"

namespace vigilon {

std::wstring_view ArgumentsOf(std::wstring_view commandLine) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == L'"') {
        std::size_t const close = commandLine.find(L'"', 1);
        end = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    } else {
        end = commandLine.find_first_of(L" \t");
        if (end == std::wstring_view::npos) end = commandLine.size();
    }
    std::wstring_view rest = commandLine.substr(end);
    std::size_t const first = rest.find_first_not_of(L" \t");
    return first == std::wstring_view::npos ? std::wstring_view() : rest.substr(first);
}

StartMode DecideStartMode(std::wstring_view arguments, bool firstRun) {
    if (arguments.empty()) return firstRun ? StartMode::Configure : StartMode::Watch;
    std::wstring const lower = ToLowerText(arguments);
    std::wstring const trimmed = lower.substr(0, lower.find_last_not_of(L" \t") + 1);
    if (trimmed == L"/unregister") return StartMode::Unregister;
    if (trimmed == L"/register") return StartMode::Register;
    if (trimmed == L"/registereventsource") return StartMode::RegisterEventSource;
    if (trimmed == L"/unregistereventsource") return StartMode::UnregisterEventSource;
    return lower.find(L"configure") != std::wstring::npos ? StartMode::Configure : StartMode::Watch;
}

}  // namespace vigilon
