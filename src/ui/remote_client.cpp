#include "ui/remote_client.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_owners.h"
#include "ui/console_output.h"
#include "ui/main_form.h"
#include "ui/single_instance.h"

namespace vigilon {
namespace {

wchar_t const kClientClass[] = L"VigilonRemoteClient";
// Every command is answered at once; what takes long (closing programs) is done afterwards.
UINT const kAnswerTimeoutMilliseconds = 30'000;

// The answer the running copy sends back to the message-only window.
std::optional<RemoteAnswer> g_answer;

LRESULT CALLBACK ClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto const* data = reinterpret_cast<COPYDATASTRUCT const*>(lParam);
        if (data != nullptr && data->dwData == kRemoteMessageMark && data->lpData != nullptr) {
            g_answer = DecodeAnswer({static_cast<std::uint8_t const*>(data->lpData), data->cbData});
        }
        return g_answer ? TRUE : FALSE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int Fail(wchar_t const* text) {
    PrintToConsole(text);
    return static_cast<int>(kRemoteNoCopy);
}

}  // namespace

int RunRemoteCommand(RemoteRequest const& request) {
    HWND const running = SingleInstance::Running() ? FindWindowW(MainForm::kClassName, nullptr) : nullptr;
    if (running == nullptr) return Fail(L"Vigilon is not running.\r\n");

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ClientProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClientClass;
    RegisterClassExW(&windowClass);
    // A message-only window: it can take the answer, and never shows.
    UniqueWindow const client(CreateWindowExW(0, kClientClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                              windowClass.hInstance, nullptr));
    if (!client) return Fail(L"Vigilon could not be asked.\r\n");

    std::vector<std::uint8_t> bytes = EncodeRequest(request);
    COPYDATASTRUCT data{kRemoteMessageMark, static_cast<DWORD>(bytes.size()), bytes.data()};
    DWORD_PTR result = 0;
    // The answer comes back while this call waits: a message sent to this thread is handled then.
    if (!SendMessageTimeoutW(running, WM_COPYDATA, reinterpret_cast<WPARAM>(client.Get()),
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerTimeoutMilliseconds,
                             &result) ||
        !g_answer) {
        return Fail(L"Vigilon did not answer.\r\n");
    }
    PrintToConsole(g_answer->text);
    return static_cast<int>(g_answer->code);
}

}  // namespace vigilon
