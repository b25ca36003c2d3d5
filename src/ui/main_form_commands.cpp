#include "ui/main_form.h"

#include <algorithm>

#include "platform/win32/private_messages.h"
#include "ui/late_answer.h"
#include "ui/main_form_ids.h"

namespace vigilon {
namespace {

// Short, and given up at once for a caller found hung: a window that never reads its messages must
// not hold up watching. Windows calls a caller waiting in SendMessage hung only after five seconds;
// Vigilon answers well within them, since it handles sent messages inside its own waits and
// message boxes too.
UINT const kRemoteAnswerTimeoutMilliseconds = 2000;

}  // namespace

WatchEngine::AskedScreenshot MainForm::Screenshot(std::wstring const& name) {
    WatchEngine::AskedScreenshot const asked = engine_.AskScreenshot(name);
    lastAskedScreenshot_ = asked.id;
    return asked;
}

void MainForm::AnswerSettledScreenshots() {
    for (WatchEngine::SettledScreenshot const& settled : engine_.SettledScreenshots()) {
        auto const awaited = std::find_if(awaitedScreenshots_.begin(), awaitedScreenshots_.end(),
                                          [&](AwaitedScreenshot const& a) { return a.id == settled.id; });
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
        // A picture is being taken: the caller waits for the answer, which follows once it is done.
        awaitedScreenshots_.push_back({lastAskedScreenshot_, sender, request->program});
        return static_cast<LRESULT>(kRemoteAnswerFollows);
    }
    std::vector<std::uint8_t> answer = EncodeAnswer(now);
    COPYDATASTRUCT reply{kRemoteMessageMark, static_cast<DWORD>(answer.size()), answer.data()};
    DWORD_PTR result = 0;
    // The caller waits for this answer, and handles it at once.
    SendMessageTimeoutW(sender, WM_COPYDATA, reinterpret_cast<WPARAM>(window_), reinterpret_cast<LPARAM>(&reply),
                        SMTO_ABORTIFHUNG, kRemoteAnswerTimeoutMilliseconds, &result);
    return TRUE;
}

}  // namespace vigilon
