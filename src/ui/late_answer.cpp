#include "ui/late_answer.h"

#include <memory>

#include "app/remote_command.h"

namespace vigilon {
namespace {

// Short, and given up at once for a caller found hung: a window that never reads its messages must
// not hold up watching. Windows calls a caller waiting in SendMessage hung only after five seconds;
// Vigilon answers well within them, since it handles sent messages inside its own waits and
// message boxes too.
UINT const kAnswerTimeoutMilliseconds = 2000;

struct LateAnswer {
    HWND caller;
    HWND from;
    std::vector<std::uint8_t> bytes;
};

void CALLBACK Send(PTP_CALLBACK_INSTANCE, void* context) {
    std::unique_ptr<LateAnswer> const answer(static_cast<LateAnswer*>(context));
    SendAnswer(answer->caller, answer->from, answer->bytes);
}

}  // namespace

void SendAnswer(HWND caller, HWND from, std::vector<std::uint8_t>& bytes) {
    COPYDATASTRUCT data{kRemoteMessageMark, static_cast<DWORD>(bytes.size()), bytes.data()};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(caller, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, kAnswerTimeoutMilliseconds, &result);
}

void SendLateAnswer(HWND caller, HWND from, std::vector<std::uint8_t> bytes) {
    auto answer = std::make_unique<LateAnswer>(LateAnswer{caller, from, std::move(bytes)});
    if (TrySubmitThreadpoolCallback(Send, answer.get(), nullptr)) answer.release();
}

}  // namespace vigilon
