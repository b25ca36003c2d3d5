#include "ui/late_answer.h"

#include <memory>

#include "app/remote_command.h"

namespace vigilon {
namespace {

// Given up at once for a caller found hung, as the answers sent at once are.
UINT const kLateAnswerTimeoutMilliseconds = 2000;

struct LateAnswer {
    HWND caller;
    HWND from;
    std::vector<std::uint8_t> bytes;
};

void CALLBACK Send(PTP_CALLBACK_INSTANCE, void* context) {
    std::unique_ptr<LateAnswer> const answer(static_cast<LateAnswer*>(context));
    COPYDATASTRUCT data{kRemoteMessageMark, static_cast<DWORD>(answer->bytes.size()), answer->bytes.data()};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(answer->caller, WM_COPYDATA, reinterpret_cast<WPARAM>(answer->from),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kLateAnswerTimeoutMilliseconds, &result);
}

}  // namespace

void SendLateAnswer(HWND caller, HWND from, std::vector<std::uint8_t> bytes) {
    auto answer = std::make_unique<LateAnswer>(LateAnswer{caller, from, std::move(bytes)});
    if (TrySubmitThreadpoolCallback(Send, answer.get(), nullptr)) answer.release();
}

}  // namespace vigilon
