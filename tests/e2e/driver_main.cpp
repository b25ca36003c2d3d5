// Command-line front of the test driver, for scripts:
//   driver.exe list                      one line per top-level window
//   driver.exe minimise|close <caption prefix>
//   driver.exe close-all <caption prefix> every top-level window whose caption starts so
//   driver.exe tray <mouse message>      e.g. 0x203 for a left double-click
//   driver.exe command <id>              a menu command to Vigilon's main window
//   driver.exe click <control id>        clicks a button of Vigilon's main window or its panel
//   driver.exe message <title>           the text of a message box with that title
//   driver.exe ok <title>                presses OK on a message box with that title
//   driver.exe next-page <caption prefix> turns a dialog's tab control to its next page
//   driver.exe taskbar-created
//   driver.exe rect <caption prefix>     the window's screen rectangle: left top width height
//   driver.exe status-time <rounds>      asks Vigilon for its status that many times, as /status does,
//                                        and prints the longest answer's time in milliseconds
#include <algorithm>
#include <cstdio>
#include <string>

#include "driver.h"

using namespace vigilon::e2e;

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::wstring const verb = argv[1];
    std::wstring const arg = argc > 2 ? argv[2] : L"";
    if (verb == L"list") {
        for (WindowInfo const& w : ListWindows()) {
            std::wprintf(L"%p\t%ls\t%ls\tvisible=%d\tminimised=%d\tpid=%lu\n", static_cast<void*>(w.window),
                         w.className.c_str(), w.caption.c_str(), w.visible, w.minimised, w.processId);
        }
        return 0;
    }
    if (verb == L"rect") {
        HWND const window = FindWindowStartingWith(arg);
        RECT r{};
        if (window == nullptr || !GetWindowRect(window, &r)) return 1;
        std::wprintf(L"%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (verb == L"minimise" || verb == L"close") {
        HWND const window = FindWindowStartingWith(arg);
        if (window == nullptr) return 1;
        verb == L"close" ? Close(window) : Minimise(window);
        return 0;
    }
    if (verb == L"close-all") {
        for (WindowInfo const& w : ListWindows()) {
            if (w.caption.starts_with(arg)) Close(w.window);
        }
        return 0;
    }
    HWND const main = FindVigilonMainWindow();
    if (verb == L"tray" && main != nullptr) {
        SendTrayNotification(main, static_cast<UINT>(std::wcstoul(arg.c_str(), nullptr, 0)));
        return 0;
    }
    if (verb == L"command" && main != nullptr) {
        SendMenuCommand(main, static_cast<UINT>(std::wcstoul(arg.c_str(), nullptr, 0)));
        return 0;
    }
    if (verb == L"click" && main != nullptr) {
        HWND const button = FindControl(main, static_cast<int>(std::wcstol(arg.c_str(), nullptr, 0)));
        if (button == nullptr) return 1;
        PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (verb == L"message") {
        std::wstring text;
        if (FindMessageBox(arg, &text) == nullptr) return 1;
        std::wprintf(L"%ls\n", text.c_str());
        return 0;
    }
    if (verb == L"ok") {
        HWND const box = FindMessageBox(arg);
        if (box == nullptr) return 1;
        PressOk(box);
        return 0;
    }
    if (verb == L"next-page") {
        HWND const dialog = FindWindowStartingWith(arg);
        HWND const tabs = dialog == nullptr ? nullptr : FindWindowExW(dialog, nullptr, L"SysTabControl32", nullptr);
        if (tabs == nullptr) return 1;
        // The tab control turns the page on the arrow key and tells its dialog, as for a click.
        PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
        return 0;
    }
    if (verb == L"status-time") {
        double const longest = LongestStatusAnswer(std::max(1, std::stoi(arg.empty() ? L"1" : arg)));
        if (longest < 0) return 1;
        std::wprintf(L"%.1f\n", longest);
        return 0;
    }
    if (verb == L"taskbar-created") {
        BroadcastTaskbarCreated();
        return 0;
    }
    return 2;
}
