#include "ui/main_form.h"

#include <algorithm>

#include "platform/win32/private_messages.h"
#include "ui/late_answer.h"

namespace vigilon {

WatchEngine::AskedScreenshot MainForm::Screenshot(std::wstring const& name) {
    WatchEngine::AskedScreenshot const asked = engine_.AskScreenshot(name);
    lastAskedScreenshot_ = asked.id;
    return asked;
}

WatchEngine::AskedCheck MainForm::Check(std::wstring const& name) {
    WatchEngine::AskedCheck const asked = engine_.AskCheck(name);
    lastAskedCheck_ = asked.id;
    return asked;
}

void MainForm::AnswerSettledChecks() {
    for (WatchEngine::SettledCheck const& settled : engine_.SettledChecks()) {
        auto const awaited = std::find_if(awaitedChecks_.begin(), awaitedChecks_.end(),
                                          [&](AwaitedAnswer const& a) { return a.id == settled.id; });
        if (awaited == awaitedChecks_.end()) continue;
        WatchEngine::SettledCheck named = settled;
        if (named.program.empty()) named.program = awaited->program;
        SendLateAnswer(awaited->caller, window_, EncodeAnswer(CheckAnswerOf(named)));
        awaitedChecks_.erase(awaited);
    }
    // A command that gave up waiting (its own limit, or ended by its user) is answered no more.
    std::erase_if(awaitedChecks_, [](AwaitedAnswer const& a) { return IsWindow(a.caller) == FALSE; });
}

WatchEngine::AskedAlertTest MainForm::AlertTest() {
    lastAlertTest_ = engine_.AskAlertTest();
    return lastAlertTest_;
}

void MainForm::AnswerSettledAlertTests() {
    for (AlertDelivery::SettledTest const& settled : engine_.SettledAlertTests()) {
        auto const awaited = std::find_if(awaitedAlertTests_.begin(), awaitedAlertTests_.end(),
                                          [&](AwaitedAnswer const& a) { return a.id == settled.id; });
        if (awaited == awaitedAlertTests_.end()) continue;
        SendLateAnswer(awaited->caller, window_, EncodeAnswer(AlertTestAnswerOf(awaited->program, settled.outcome)));
        awaitedAlertTests_.erase(awaited);
    }
    std::erase_if(awaitedAlertTests_, [](AwaitedAnswer const& a) { return IsWindow(a.caller) == FALSE; });
}

void MainForm::AnswerSettledScreenshots() {
    for (WatchEngine::SettledScreenshot const& settled : engine_.SettledScreenshots()) {
        auto const awaited = std::find_if(awaitedScreenshots_.begin(), awaitedScreenshots_.end(),
                                          [&](AwaitedAnswer const& a) { return a.id == settled.id; });
        if (awaited == awaitedScreenshots_.end()) continue;
        SendLateAnswer(awaited->caller, window_, EncodeAnswer(ScreenshotAnswerOf(awaited->program, settled.path)));
        awaitedScreenshots_.erase(awaited);
    }
}

void MainForm::Close() { PostMessageW(window_, kRemoteCloseMessage, 0, static_cast<LPARAM>(PrivateMessageToken())); }

void MainForm::Exit() { PostMessageW(window_, kRemoteExitMessage, 0, static_cast<LPARAM>(PrivateMessageToken())); }

void MainForm::OpenEditor() {
    PostMessageW(window_, kRemoteEditorMessage, 0, static_cast<LPARAM>(PrivateMessageToken()));
}

LRESULT MainForm::OnCopyData(HWND sender, COPYDATASTRUCT const* data) {
    if (data == nullptr || data->dwData != kRemoteMessageMark || data->lpData == nullptr || !IsWindow(sender)) {
        return FALSE;
    }
    DWORD senderProcess = 0;
    GetWindowThreadProcessId(sender, &senderProcess);
    DWORD senderSession = 0;
    DWORD ownSession = 0;
    if (!ProcessIdToSessionId(senderProcess, &senderSession) ||
        !ProcessIdToSessionId(GetCurrentProcessId(), &ownSession) || senderSession != ownSession) {
        return FALSE;
    }
    auto const request = DecodeRequest({static_cast<std::uint8_t const*>(data->lpData), data->cbData});
    if (!request) return FALSE;
    RemoteAnswer const now = AnswerRemote(*request, *this);
    if (now.code == kRemoteLater) {
        // A picture is being taken, or a check runs: the caller waits for the answer, which follows
        // once it is done.
        if (request->verb == RemoteVerb::Check) {
            awaitedChecks_.push_back({lastAskedCheck_, sender, request->program});
        } else if (request->verb == RemoteVerb::AlertTest) {
            awaitedAlertTests_.push_back({lastAlertTest_.id, sender, lastAlertTest_.site});
        } else {
            awaitedScreenshots_.push_back({lastAskedScreenshot_, sender, request->program});
        }
        return static_cast<LRESULT>(kRemoteAnswerFollows);
    }
    std::vector<std::uint8_t> answer = EncodeAnswer(now);
    SendAnswer(sender, window_, answer);  // the caller waits for it, and handles it at once
    return TRUE;
}

}  // namespace vigilon
