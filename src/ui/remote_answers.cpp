#include "ui/remote_answers.h"

#include "engine/outputs/status_json.h"

namespace vigilon {
namespace {

RemoteAnswer NoSuchProgram(std::wstring const& program) {
    return {kRemoteUnknown, L"No program named \"" + program + L"\" is watched.\r\n"};
}

}  // namespace

RemoteAnswer RestartAnswerOf(std::wstring const& program, WatchEngine::RestartAnswer answer) {
    switch (answer) {
    case WatchEngine::RestartAnswer::Restarting:
        return {kRemoteDone, L"Restarting " + program + L": asked to close.\r\n"};
    case WatchEngine::RestartAnswer::NotRunning:
        return {kRemoteNotDone, program + L" is not running: there is nothing to restart.\r\n"};
    case WatchEngine::RestartAnswer::LaunchPaused:
        return {kRemoteNotDone, L"Launching is paused: " + program +
                                    L" is not restarted, as it would not be started again.\r\n"};
    case WatchEngine::RestartAnswer::NotItsOwn:
        return {kRemoteNotDone, program +
                                    L" is not restarted: its window belongs to another program (see the history).\r\n"};
    case WatchEngine::RestartAnswer::NoSuchProgram:
        return NoSuchProgram(program);
    }
    return {kRemoteUnknown, L"Unknown command.\r\n"};
}

RemoteAnswer StartAnswerOf(std::wstring const& program, StartReply const& reply) {
    switch (reply.answer) {
    case StartAnswer::Starting: return {kRemoteDone, L"Starting " + program + L".\r\n"};
    case StartAnswer::AlreadyRunning: return {kRemoteDone, program + L" is running already.\r\n"};
    case StartAnswer::AlreadyStarting: return {kRemoteDone, program + L" is starting already.\r\n"};
    case StartAnswer::NoCaption:
        return {kRemoteNotDone, program + L" has no caption: Vigilon does not watch it, and does not start it.\r\n"};
    case StartAnswer::LaunchPaused:
        return {kRemoteNotDone, L"Launching is paused: " + program + L" is not started. /resume first.\r\n"};
    case StartAnswer::EditorOpen:
        return {kRemoteNotDone, L"The editor is open: watching is stopped, and " + program + L" is not started.\r\n"};
    case StartAnswer::MissingFile: return {kRemoteNotDone, program + L" is not started: " + reply.missingFile + L"\r\n"};
    case StartAnswer::NoticeWaits:
        return {kRemoteNotDone, L"A notice waits for OK: no pass runs until it is answered, and " + program +
                                    L" is not started.\r\n"};
    case StartAnswer::NoSuchProgram: return NoSuchProgram(program);
    }
    return {kRemoteUnknown, L"Unknown command.\r\n"};
}

RemoteAnswer ScreenshotAnswerOf(std::wstring const& program, std::wstring const& path) {
    if (path.empty()) {
        return {kRemoteNotDone,
                L"No screenshot of " + program + L": its window is not there, or the picture could not be saved.\r\n"};
    }
    return {kRemoteDone, path + L"\r\n"};
}

RemoteAnswer CheckAnswerOf(WatchEngine::SettledCheck const& check) {
    std::wstring const said = check.details.empty() ? L".\r\n" : L": " + check.details + L"\r\n";
    if (check.works) return {kRemoteDone, check.program + L" works" + said};
    return {kRemoteNotDone, check.program + L" fails" + said};
}

RemoteAnswer AlertTestAnswerOf(std::wstring const& site, HttpClient::Outcome const& outcome) {
    // The service's own words, as far as they are text: a byte outside ASCII is shown as '?'.
    std::wstring answer;
    for (char const c : outcome.answer) {
        auto const byte = static_cast<unsigned char>(c);
        answer += byte == '\r' || byte == '\n' || byte == '\t' || (byte >= 0x20 && byte < 0x7F) ? static_cast<wchar_t>(byte) : L'?';
    }
    if (!answer.empty() && answer.back() != L'\n') answer += L"\r\n";
    std::wstring const status = outcome.status != 0 ? L"HTTP " + std::to_wstring(outcome.status) : outcome.error;
    if (outcome.ok) return {kRemoteDone, L"Accepted by " + site + L": " + status + L".\r\n" + answer};
    return {kRemoteNotDone, L"Not accepted by " + site + L": " + status + L".\r\n" + answer};
}

RemoteAnswer AnswerRemote(RemoteRequest const& request, RemoteTarget& target) {
    switch (request.verb) {
    case RemoteVerb::Status:
    case RemoteVerb::StatusJson: {
        StatusSnapshot const snapshot = target.Snapshot();
        return {snapshot.AllWell() ? kRemoteDone : kRemoteNotAllRunning,
                request.verb == RemoteVerb::Status ? StatusReport(snapshot) : StatusJson(snapshot)};
    }
    case RemoteVerb::Pause: target.Pause(); return {kRemoteDone, L"Launching paused.\r\n"};
    case RemoteVerb::Resume: target.Resume(); return {kRemoteDone, L"Launching resumed.\r\n"};
    case RemoteVerb::Restart:
        if (request.program.empty()) {
            return {kRemoteUnknown, L"Name the program to restart: /restart \"Name\"\r\n"};
        }
        return RestartAnswerOf(request.program, target.Restart(request.program));
    case RemoteVerb::Close: target.Close(); return {kRemoteDone, L"Programs asked to close; launching paused.\r\n"};
    case RemoteVerb::Exit: target.Exit(); return {kRemoteDone, L"Vigilon is ending.\r\n"};
    case RemoteVerb::Cancel:
        if (target.CancelCountdown()) return {kRemoteDone, L"The countdown is cancelled: nothing is ended.\r\n"};
        return {kRemoteNotDone, L"No countdown runs: there is nothing to cancel.\r\n"};
    case RemoteVerb::Configure:
        target.OpenEditor();
        return {kRemoteDone, L"Vigilon runs already: its editor is open now.\r\n"};
    case RemoteVerb::Start:
        if (request.program.empty()) return {kRemoteUnknown, L"Name the program to start: /start \"Name\"\r\n"};
        return StartAnswerOf(request.program, target.Start(request.program));
    case RemoteVerb::Screenshot: {
        if (request.program.empty()) {
            return {kRemoteUnknown, L"Name the program to take a picture of: /screenshot \"Name\"\r\n"};
        }
        switch (target.Screenshot(request.program).kind) {
        case WatchEngine::AskedScreenshot::Kind::Begun: return {kRemoteLater, {}};
        case WatchEngine::AskedScreenshot::Kind::NotTaken: return ScreenshotAnswerOf(request.program, {});
        case WatchEngine::AskedScreenshot::Kind::NoWindow:
            return {kRemoteNotDone, L"No screenshot of " + request.program + L": it has no window (Window=None).\r\n"};
        case WatchEngine::AskedScreenshot::Kind::NoSuchProgram:
            return NoSuchProgram(request.program);
        }
        return {kRemoteUnknown, L"Unknown command.\r\n"};
    }
    case RemoteVerb::AlertTest: {
        WatchEngine::AskedAlertTest const asked = target.AlertTest();
        switch (asked.kind) {
        case WatchEngine::AskedAlertTest::Kind::Begun: return {kRemoteLater, {}};
        case WatchEngine::AskedAlertTest::Kind::Off:
            return {kRemoteUnknown, L"No alerts are sent: set AlertUrl (Options, Alerts) to an https:// address.\r\n"};
        case WatchEngine::AskedAlertTest::Kind::NotStarted:
            return {kRemoteNotDone, L"The test message to " + asked.site + L" could not be started.\r\n"};
        }
        return {kRemoteUnknown, L"Unknown command.\r\n"};
    }
    case RemoteVerb::Check: {
        if (request.program.empty()) return {kRemoteUnknown, L"Name the program to check: /check \"Name\"\r\n"};
        switch (target.Check(request.program).kind) {
        case WatchEngine::AskedCheck::Kind::Begun: return {kRemoteLater, {}};
        case WatchEngine::AskedCheck::Kind::NoCheck:
            return {kRemoteUnknown, request.program +
                                        L" has no check: set one on the Health page of its Settings (Check=).\r\n"};
        case WatchEngine::AskedCheck::Kind::NoSuchProgram:
            return NoSuchProgram(request.program);
        }
        return {kRemoteUnknown, L"Unknown command.\r\n"};
    }
    }
    return {kRemoteUnknown, L"Unknown command.\r\n"};
}

}  // namespace vigilon
