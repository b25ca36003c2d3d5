#include "app/start_mode.h"

#include "support/blanks.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr std::wstring_view kImportSwitch = L"/importsettings";
constexpr std::wstring_view kValidateSwitch = L"/validate";

// True when the trimmed, lower-case arguments are `word` alone or `word` followed by a blank.
bool StartsWithSwitch(std::wstring_view trimmed, std::wstring_view word) {
    return trimmed.starts_with(word) && (trimmed.size() == word.size() || trimmed[word.size()] == L' ' ||
                                         trimmed[word.size()] == L'\t');
}

}  // namespace

std::wstring PathAfterSwitch(std::wstring_view arguments) {
    std::wstring_view rest = TrimSpacesAndTabs(arguments);
    std::size_t const end = rest.find_first_of(L" \t");
    rest = TrimSpacesAndTabs(end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end));
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
    if (StartsWithSwitch(trimmed, kImportSwitch)) return StartMode::ImportSettings;
    if (StartsWithSwitch(trimmed, kValidateSwitch)) return StartMode::Validate;
    if (trimmed == L"/unregistereventsource") return StartMode::UnregisterEventSource;
    return lower.find(L"configure") != std::wstring::npos ? StartMode::Configure : StartMode::Watch;
}

}  // namespace vigilon
