// A stand-in for a watched program: opens one top-level window and appends what it sees to a
// record file, one line per event:
//   start|<command line>|<working directory>|<show command>|<time>
//   close|<time>        (WM_CLOSE: the window closes, or asks to save with "ask-on-close")
//   endsession|<time>   (WM_ENDSESSION)
//   destroyed|<time>    (WM_DESTROY: its window is gone)
//   exit|<time>         (the end of its message loop, just before the process ends)
//   lost|<time>         (it opened its second window, "Connection lost")
// Times are the wall clock in milliseconds.
// Its command line is whatever Vigilon gives it, so its settings come from a file beside it named
// like the exe with ".cfg" appended: the caption on the first line, the record file on the second,
// and options on the third ("exit-at-once", "hang-on-close", "hang-after-ms=N" to stop handling
// messages for good N milliseconds after its window opens, or with "busy-for-ms=M" for M
// milliseconds only, "ask-on-close" to answer WM_CLOSE with a modal "Save changes?" box and stay
// open, as an editor with unsaved work does, "grow-mb=N" to take N MB more of private memory every
// second, as a program that leaks does, "exit-after-ms=N" to end N
// milliseconds after its window opens, as a program that crashes soon after its start,
// "extra-windows=N" for N more hidden
// top-level windows captioned "Crowd <n>", a crowded desktop for benchmarks, "lost-window-after-ms=N"
// to open a second top-level window captioned "Connection lost" N milliseconds after its own, as a
// player that lost its server shows a box of its own and waits for a click, "no-window" to open
// no window at all, as a tray agent or a console tool started hidden, and with "exit-after-ms=N"
// end N milliseconds after its start).
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kHangTimer = 1;
constexpr UINT_PTR kExitTimer = 2;
constexpr UINT_PTR kGrowTimer = 3;
constexpr UINT_PTR kLostTimer = 4;
std::size_t g_growBytes = 0;
std::wstring g_recordFile;
bool g_hangOnClose = false;
bool g_askOnClose = false;
DWORD g_busyMilliseconds = INFINITE;  // how long the hang lasts

std::wstring Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    return std::to_wstring(ticks.QuadPart / 10'000);
}

// Appends one event with the time it happened.
void Record(std::wstring const& event) {
    std::wstring const line = event + L"|" + Now();
    HANDLE const file = CreateFileW(g_recordFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::wstring const text = line + L"\r\n";
    int const bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr,
                        nullptr);
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        Record(L"close");
        if (g_hangOnClose) {
            for (;;) Sleep(1000);  // stops responding for good
        }
        if (g_askOnClose) {
            MessageBoxW(window, L"Save changes?", L"Watched program", MB_YESNOCANCEL);
            return 0;
        }
        DestroyWindow(window);
        return 0;
    case WM_TIMER:
        if (wParam == kHangTimer) {
            KillTimer(window, kHangTimer);
            Record(L"hung");
            if (g_busyMilliseconds == INFINITE) {
                for (;;) Sleep(1000);  // stops responding for good
            }
            Sleep(g_busyMilliseconds);
            Record(L"recovered");
        }
        if (wParam == kExitTimer) ExitProcess(3);  // ends without closing, as a crash does
        if (wParam == kLostTimer) {
            KillTimer(window, kLostTimer);
            HWND const lost = CreateWindowExW(0, L"VigilonWatchedProgram", L"Connection lost", WS_OVERLAPPEDWINDOW, 40, 40,
                                              240, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
            ShowWindow(lost, SW_SHOWNOACTIVATE);
            Record(L"lost");
        }
        if (wParam == kGrowTimer) {
            // Committed and written, so that it counts as the program's own memory.
            auto* const block = static_cast<char*>(VirtualAlloc(nullptr, g_growBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
            if (block != nullptr) {
                for (std::size_t i = 0; i < g_growBytes; i += 4096) block[i] = 1;
            }
        }
        return 0;
    case WM_ENDSESSION:
        Record(L"endsession");
        return 0;
    case WM_DESTROY:
        Record(L"destroyed");
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}


// The lines of the settings file beside the exe.
std::vector<std::wstring> ReadSettings() {
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    HANDLE const file = CreateFileW((std::wstring(self) + L".cfg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(4096, '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                            static_cast<int>(text.size()))));
    std::vector<std::wstring> lines;
    std::wstring line;
    for (wchar_t c : text) {
        if (c == L'\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != L'\r') {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    std::vector<std::wstring> settings = ReadSettings();
    if (settings.size() < 2) return 2;
    std::wstring const caption = settings[0];
    g_recordFile = settings[1];
    std::wstring const options = settings.size() > 2 ? settings[2] : L"";
    bool const exitAtOnce = options.find(L"exit-at-once") != std::wstring::npos;
    g_hangOnClose = options.find(L"hang-on-close") != std::wstring::npos;
    g_askOnClose = options.find(L"ask-on-close") != std::wstring::npos;
    std::size_t const busy = options.find(L"busy-for-ms=");
    if (busy != std::wstring::npos) g_busyMilliseconds = static_cast<DWORD>(std::stoul(options.substr(busy + 12)));

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    int const shown = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    wchar_t directory[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, directory);
    Record(L"start|" + std::wstring(GetCommandLineW()) + L"|" + directory + L"|" + std::to_wstring(shown));
    // The arguments as the C runtime split the command line, each on a line of its own.
    for (int i = 1; i < __argc; ++i) Record(L"arg|" + std::wstring(__wargv[i]));
    if (exitAtOnce) return 0;
    if (options.find(L"no-window") != std::wstring::npos) {
        std::size_t const after = options.find(L"exit-after-ms=");
        Sleep(after == std::wstring::npos ? INFINITE : static_cast<DWORD>(std::stoul(options.substr(after + 14))));
        ExitProcess(3);  // ends as a crash does
    }

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"VigilonWatchedProgram";
    RegisterClassW(&windowClass);
    HWND const window = CreateWindowExW(0, windowClass.lpszClassName, caption.c_str(), WS_OVERLAPPEDWINDOW,
                                        CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, showCommand);
    std::size_t const extra = options.find(L"extra-windows=");
    int const crowd = extra == std::wstring::npos ? 0 : std::stoi(options.substr(extra + 14));
    for (int i = 0; i < crowd; ++i) {
        CreateWindowExW(0, windowClass.lpszClassName, (L"Crowd " + std::to_wstring(i)).c_str(), WS_OVERLAPPEDWINDOW,
                        0, 0, 100, 100, nullptr, nullptr, instance, nullptr);
    }
    std::size_t const hang = options.find(L"hang-after-ms=");
    if (hang != std::wstring::npos) SetTimer(window, kHangTimer, static_cast<UINT>(std::stoi(options.substr(hang + 14))), nullptr);
    std::size_t const grow = options.find(L"grow-mb=");
    if (grow != std::wstring::npos) {
        g_growBytes = static_cast<std::size_t>(std::stoul(options.substr(grow + 8))) << 20;
        SetTimer(window, kGrowTimer, 1000, nullptr);
    }
    std::size_t const lost = options.find(L"lost-window-after-ms=");
    if (lost != std::wstring::npos) SetTimer(window, kLostTimer, static_cast<UINT>(std::stoi(options.substr(lost + 21))), nullptr);
    std::size_t const quit = options.find(L"exit-after-ms=");
    if (quit != std::wstring::npos) SetTimer(window, kExitTimer, static_cast<UINT>(std::stoi(options.substr(quit + 14))), nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    Record(L"exit");
    return 0;
}
