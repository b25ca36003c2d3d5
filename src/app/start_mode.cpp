#include "app/start_mode.h"

#include <algorithm>

#include "support/blanks.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr wchar_t kImportSwitch[] = L"/importsettings";

}  // namespace

std::wstring ImportedSettingsPath(std::wstring_view arguments) {
    std::size_t const first = arguments.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    std::wstring_view rest = arguments.substr(first);
    rest.remove_prefix(std::min(rest.size(), std::size(kImportSwitch) - 1));
    rest = TrimSpacesAndTabs(rest);
    if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"') rest = rest.substr(1, rest.size() - 2);
    return std::wstring(rest);
}

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
    if (trimmed == L"/startatlogon") return StartMode::StartAtLogon;
    if (trimmed == L"/registereventsource") return StartMode::RegisterEventSource;
    if (trimmed.starts_with(kImportSwitch) &&
        (trimmed.size() == std::size(kImportSwitch) - 1 || trimmed[std::size(kImportSwitch) - 1] == L' ')) {
        return StartMode::ImportSettings;
    }
    if (trimmed == L"/unregistereventsource") return StartMode::UnregisterEventSource;
    return lower.find(L"configure") != std::wstring::npos ? StartMode::Configure : StartMode::Watch;
}

}  // namespace vigilon
