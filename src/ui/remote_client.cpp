#include "ui/remote_client.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/base_window.h"
#include "platform/win32/win32_owners.h"
#include "ui/console_output.h"
#include "ui/instance_logic.h"
#include "ui/main_form.h"
#include "ui/single_instance.h"
#include "ui/version_info.h"

namespace vigilon {
namespace {

wchar_t const kClientClass[] = L"VigilonRemoteClient";
// Every command is answered at once, but for a picture, whose answer follows when it is done (a
// couple of seconds at most); what takes long (closing programs) is done afterwards.
UINT const kAnswerTimeoutMilliseconds = 30'000;
// A check's answer follows when it has ended: within its own timeout (at most 120 s), and the pass
// after it, which a busy Vigilon may run some seconds late.
DWORD const kCheckAnswerMilliseconds = 140'000;
// A test alert's answer follows when the service has answered: WinHTTP gives each of its four
// steps 10 s, and the commands' timer takes it up to a second later.
DWORD const kAlertAnswerMilliseconds = 60'000;
// A copy in its first second holds the mutex before its window is made: a command waits that long
// for the window rather than saying that Vigilon does not answer.
DWORD const kWindowWaitMilliseconds = 5000;

// The product name of the executable the process runs; empty when it cannot be read.
std::wstring ProcessProduct(DWORD process) {
    UniqueKernelHandle const handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    if (!handle) return {};
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(handle.Get(), 0, path.data(), &size)) return {};
    path.resize(size);
    return ImageProductName(path);
}

// What the client knows of `window`, to believe it or not.
AnswererFacts FactsOf(HWND window, std::optional<std::uint32_t> holder) {
    DWORD process = 0;
    if (window != nullptr) GetWindowThreadProcessId(window, &process);
    return {holder, process, process != 0 ? ProcessProduct(process) : std::wstring()};
}

// The answer, once one came from the running copy's own window; and that copy's process.
struct Exchange {
    std::optional<std::uint32_t> holder;
    std::optional<RemoteAnswer> answer;
};
Exchange g_exchange;

LRESULT CALLBACK ClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto const* data = reinterpret_cast<COPYDATASTRUCT const*>(lParam);
        if (data == nullptr || data->dwData != kRemoteMessageMark || data->lpData == nullptr) return FALSE;
        // A reply from any other window is no answer, whatever it holds.
        std::optional<RemoteAnswer> answer = AcceptAnswer(
            FactsOf(reinterpret_cast<HWND>(wParam), g_exchange.holder),
            {static_cast<std::uint8_t const*>(data->lpData), data->cbData});
        if (!answer) return FALSE;
        g_exchange.answer = std::move(answer);
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Waits until `deadline` (a tick count) for an answer that follows: it comes as a message sent to
// this thread, handled while it waits. The wait ends early when the running copy ends.
void AwaitLateAnswer(std::optional<std::uint32_t> holder, DWORD deadline) {
    UniqueKernelHandle const process(holder ? OpenProcess(SYNCHRONIZE, FALSE, *holder) : nullptr);
    HANDLE handles[1] = {process.Get()};
    DWORD const count = process ? 1 : 0;
    while (!g_exchange.answer) {
        LONG const left = static_cast<LONG>(deadline - GetTickCount());
        if (left <= 0) return;
        DWORD const woken = MsgWaitForMultipleObjects(count, handles, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (count == 1 && woken == WAIT_OBJECT_0) return;  // it ended: nothing more will come
    }
}

int Fail(wchar_t const* text) {
    PrintToConsole(text);
    return static_cast<int>(kRemoteNoCopy);
}

}  // namespace

int RunRemoteCommand(RemoteRequest const& request) {
    if (!SingleInstance::Running()) return Fail(L"Vigilon is not running.\r\n");
    HWND const running = SingleInstance::WaitForWindow(MainForm::kClassName, true, kWindowWaitMilliseconds);
    g_exchange.holder = SingleInstance::HolderProcess();
    // The window must be the running copy's, in a Vigilon exe: a program that made a window of
    // Vigilon's class, or the mutex first, is not asked, and cannot answer.
    if (running == nullptr || !TrustedAnswerer(FactsOf(running, g_exchange.holder))) {
        return Fail(L"Vigilon did not answer.\r\n");
    }

    HINSTANCE const instance = GetModuleHandleW(nullptr);
    RegisterWindowClass(instance, kClientClass, ClientProc);
    // A message-only window: it can take the answer, and never shows.
    UniqueWindow const client(
        CreateWindowExW(0, kClientClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr));
    if (!client) return Fail(L"Vigilon could not be asked.\r\n");
    // From an elevated prompt, the answer comes up from a copy that runs with less: without this,
    // the system drops it, and the command would seem unanswered though it was done.
    ChangeWindowMessageFilterEx(client.Get(), WM_COPYDATA, MSGFLT_ALLOW, nullptr);

    // The running copy brings its editor to the front: this start, which the user just made, may
    // let it.
    if (request.verb == RemoteVerb::Configure) AllowSetForegroundWindow(*g_exchange.holder);
    std::vector<std::uint8_t> bytes = EncodeRequest(request);
    COPYDATASTRUCT data{kRemoteMessageMark, static_cast<DWORD>(bytes.size()), bytes.data()};
    DWORD_PTR result = 0;
    DWORD const deadline =
        GetTickCount() + (request.verb == RemoteVerb::Check       ? kCheckAnswerMilliseconds
                          : request.verb == RemoteVerb::AlertTest ? kAlertAnswerMilliseconds
                                                                  : kAnswerTimeoutMilliseconds);
    // The answer comes back while this call waits: a message sent to this thread is handled then.
    if (!SendMessageTimeoutW(running, WM_COPYDATA, reinterpret_cast<WPARAM>(client.Get()),
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerTimeoutMilliseconds,
                             &result)) {
        return Fail(L"Vigilon did not answer.\r\n");
    }
    // Or later (a picture being taken, a check under way), within its limit.
    if (!g_exchange.answer && result == kRemoteAnswerFollows) AwaitLateAnswer(g_exchange.holder, deadline);
    if (!g_exchange.answer) return Fail(L"Vigilon did not answer.\r\n");
    PrintToConsole(g_exchange.answer->text);
    return static_cast<int>(g_exchange.answer->code);
}

}  // namespace vigilon
