#include "engine/rules/exit_rule.h"

#include <cwchar>
#include <iterator>

namespace vigilon {

std::wstring ExitCodeText(std::uint32_t code) {
    if ((code & 0x80000000u) == 0) return L"exit code " + std::to_wstring(code);
    wchar_t text[48];
    std::swprintf(text, std::size(text), L"exit code 0x%08X%ls", static_cast<unsigned>(code),
                  IsCrashCode(code) ? L" (crash)" : code == kControlCExit ? L" (console closed)" : L"");
    return text;
}

AfterEnd JudgeEnd(RestartWhen when, bool planned, ProcessExit const& exit) {
    if (when == RestartWhen::Always || planned) return AfterEnd::StartAgain;
    switch (exit.state) {
    case ProcessExit::State::Running: return AfterEnd::AwaitProcess;
    case ProcessExit::State::Ended: return IsNormalEnd(exit.code) ? AfterEnd::LeaveClosed : AfterEnd::StartAgain;
    case ProcessExit::State::Unknown: return AfterEnd::StartAgain;
    }
    return AfterEnd::StartAgain;
}

std::wstring GoneExitText(RestartWhen when, std::uint32_t processId, ProcessExit const& exit) {
    switch (exit.state) {
    case ProcessExit::State::Ended: return ExitCodeText(exit.code);
    case ProcessExit::State::Running: return L"process " + std::to_wstring(processId) + L" still runs";
    case ProcessExit::State::Unknown:
        return when == RestartWhen::Failure ? L"exit code unknown: started again, as after a failure" : L"";
    }
    return {};
}

}  // namespace vigilon
