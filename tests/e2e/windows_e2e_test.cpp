#include "e2e_fixture.h"

#include <algorithm>
#include <sstream>

namespace vigilon::e2e {
namespace {

inline constexpr UINT kStatusCommand = 104;

bool Topmost(HWND window) { return window != nullptr && (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// True when `upper` comes before `lower` in the z-order of the top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
        if (window == upper) return true;
        if (window == lower) return false;
    }
    return false;
}

// The process /status gives for `program`, empty when its row does not say Running.
std::string RunningProcess(std::string const& status, std::string const& program) {
    std::istringstream lines(status);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(program + "\tRunning\t", 0) != 0) continue;
        std::string const rest = line.substr(program.size() + 9);
        return rest.substr(0, rest.find('\t'));
    }
    return {};
}

TEST_F(VigilonTest, TwoProgramsWithOverlappingCaptionsEachKeepTheirOwnWindow) {
    std::wstring const board = AddHelper(L"board.exe", Caption(L"Crashy Board"));
    std::wstring const board2 = AddHelper(L"board2.exe", Caption(L"Crashy Board 2"));
    WriteIni({{L"Board", Caption(L"Crashy Board"), board}, {L"Board2", Caption(L"Crashy Board 2"), board2}});
    StartVigilon();
    // The later window is above the first, so a first match alone would give it to both.
    auto const hidden = [&](std::wstring const& caption) {
        HWND const window = FindWindowW(nullptr, Caption(caption).c_str());
        return window != nullptr && !IsWindowVisible(window);
    };
    ASSERT_TRUE(WaitUntil([&] {
        return InHistory(L"Board", "hidden") && InHistory(L"Board2", "hidden") && hidden(L"Crashy Board") &&
               hidden(L"Crashy Board 2");
    }));
    auto const status = [&] { return RunCommand(exe_, L"/status", Path(L"answer.txt")).output; };
    std::string first, second;
    ASSERT_TRUE(WaitUntil([&] {
        std::string const text = status();
        first = RunningProcess(text, "Board");
        second = RunningProcess(text, "Board2");
        return !first.empty() && !second.empty();
    })) << status();
    EXPECT_NE(first, second);
    // Each keeps its own: nothing is started again and no window is hidden twice.
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(board).starts.size() == 1 && RecordOf(board2).starts.size() == 1; }, 4));
    std::vector<std::string> const events = HistoryEvents(Path(L"vigilon.log"), "Board");
    EXPECT_EQ(std::count(events.begin(), events.end(), "found"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "gone"), 0);
}

TEST_F(VigilonTest, ConfigureWhileACopyRunsOpensItsEditorAboveAWindowKeptOnTop) {
    std::wstring const helper = AddHelper(L"kiosk.exe", Caption(L"Kiosk"));
    WriteIni({{L"Kiosk", Caption(L"Kiosk"), helper}});
    WritePrivateProfileStringW(L"Kiosk", L"Show", L"Maximized", Path(L"vigilon.ini").c_str());
    WritePrivateProfileStringW(L"Kiosk", L"OnTop", L"1", Path(L"vigilon.ini").c_str());
    StartVigilon();
    HWND kiosk = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return Topmost(kiosk = WindowOf(Caption(L"Kiosk"))); }));

    CommandResult const configure = RunCommand(exe_, L"configure", Path(L"answer.txt"));
    EXPECT_EQ(configure.exitCode, 0);
    EXPECT_EQ(configure.output, "Vigilon runs already: its editor is open now.\r\n");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) && Topmost(main_) && Above(main_, kiosk); }));

    // A dialog it opens stands above the kiosk too.
    SendMenuCommand(main_, kFileOptionsCommand);
    HWND options = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        options = FindWindowW(L"#32770", nullptr);
        return options != nullptr && GetWindow(options, GW_OWNER) == main_ && IsWindowVisible(options);
    }));
    EXPECT_TRUE(Topmost(options));
    EXPECT_TRUE(Above(options, kiosk));
    PostMessageW(options, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }));

    // Closed, the editor takes its place among the others again; the kiosk stays on top.
    PostMessageW(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_) && !Topmost(main_); }));
    EXPECT_TRUE(Topmost(kiosk));

    // So does the Status window, opened from the tray's menu.
    SendMenuCommand(main_, kStatusCommand);
    HWND status = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return Topmost(status = FindWindowW(L"VigilonStatus", nullptr)); }));
    EXPECT_TRUE(Above(status, kiosk));
}

}  // namespace
}  // namespace vigilon::e2e
