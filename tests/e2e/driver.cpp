#include "driver.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "app/remote_command.h"

namespace vigilon::e2e {
namespace {

constexpr UINT kVigilonTrayId = 1;

std::wstring TextOf(HWND window) {
    wchar_t buffer[512] = L"";
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256] = L"";
    GetClassNameW(window, buffer, 256);
    return buffer;
}

BOOL CALLBACK Collect(HWND window, LPARAM context) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    reinterpret_cast<std::vector<WindowInfo>*>(context)->push_back(
        {window, TextOf(window), ClassOf(window), IsWindowVisible(window) != FALSE, IsIconic(window) != FALSE,
         processId});
    return TRUE;
}

NOTIFYICONDATAW TrayData(HWND mainWindow) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = mainWindow;
    data.uID = kVigilonTrayId;
    return data;
}

}  // namespace

std::vector<WindowInfo> ListWindows() {
    std::vector<WindowInfo> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindWindowStartingWith(std::wstring const& prefix) {
    for (WindowInfo const& info : ListWindows()) {
        if (info.caption.rfind(prefix, 0) == 0) return info.window;
    }
    return nullptr;
}

HWND FindVigilonMainWindow() { return FindWindowW(L"VigilonMainForm", nullptr); }

void Minimise(HWND window) { ShowWindowAsync(window, SW_MINIMIZE); }

void Close(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

void SendTrayNotification(HWND mainWindow, UINT mouseMessage) {
    PostMessageW(mainWindow, WM_MOUSEMOVE, kVigilonTrayId, static_cast<LPARAM>(mouseMessage));
}

void SendMenuCommand(HWND mainWindow, UINT id) { PostMessageW(mainWindow, WM_COMMAND, id, 0); }

HWND FindControl(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(window) != s->id) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindMessageBox(std::wstring const& title, std::wstring* text) {
    for (WindowInfo const& info : ListWindows()) {
        if (info.className != L"#32770" || info.caption != title || !info.visible) continue;
        if (text != nullptr) {
            HWND const label = GetDlgItem(info.window, 0xFFFF);
            *text = label != nullptr ? TextOf(label) : L"";
        }
        return info.window;
    }
    return nullptr;
}

void PressOk(HWND messageBox) { PostMessageW(messageBox, WM_COMMAND, IDOK, 0); }

void BroadcastTaskbarCreated() {
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
}

bool TrayIconPresent(HWND mainWindow) {
    NOTIFYICONDATAW data = TrayData(mainWindow);
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void RemoveTrayIcon(HWND mainWindow) {
    NOTIFYICONDATAW data = TrayData(mainWindow);
    Shell_NotifyIconW(NIM_DELETE, &data);
}

}  // namespace vigilon::e2e

namespace vigilon::e2e {
namespace {

bool g_answered = false;

LRESULT CALLBACK AnswerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto const* data = reinterpret_cast<COPYDATASTRUCT const*>(lParam);
        g_answered = data != nullptr && DecodeAnswer({static_cast<std::uint8_t const*>(data->lpData), data->cbData});
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

double LongestStatusAnswer(int rounds) {
    HWND const main = FindVigilonMainWindow();
    if (main == nullptr) return -1;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = AnswerProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VigilonDriverAnswers";
    RegisterClassW(&windowClass);
    HWND const self = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      windowClass.hInstance, nullptr);
    std::vector<std::uint8_t> bytes = EncodeRequest({RemoteVerb::Status, L""});
    COPYDATASTRUCT data{kRemoteMessageMark, static_cast<DWORD>(bytes.size()), bytes.data()};
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    double longest = 0;
    for (int i = 0; i < rounds; ++i) {
        g_answered = false;
        LARGE_INTEGER before{}, after{};
        QueryPerformanceCounter(&before);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(main, WM_COPYDATA, reinterpret_cast<WPARAM>(self), reinterpret_cast<LPARAM>(&data),
                            SMTO_ABORTIFHUNG, 10000, &result);
        QueryPerformanceCounter(&after);
        if (!g_answered) return -1;
        longest = std::max(longest, 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                                        static_cast<double>(frequency.QuadPart));
    }
    DestroyWindow(self);
    return longest;
}

}  // namespace vigilon::e2e
