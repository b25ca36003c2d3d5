#include "e2e_fixture.h"

namespace vigilon::e2e {
namespace {

TEST_F(VigilonTest, AMaximizedProgramOnTopIsShownSoAfterItsStartAMinimiseAndARestart) {
    std::wstring const helper = AddHelper(L"kiosk.exe", Caption(L"Kiosk"));
    WriteIni({{L"Kiosk", Caption(L"Kiosk"), helper}});
    std::wstring const ini = Path(L"vigilon.ini");
    WritePrivateProfileStringW(L"Kiosk", L"Show", L"Maximized", ini.c_str());
    WritePrivateProfileStringW(L"Kiosk", L"OnTop", L"1", ini.c_str());
    StartVigilon();
    HWND window = nullptr;
    auto const maximisedOnTop = [&] {
        window = WindowOf(Caption(L"Kiosk"));
        return window != nullptr && IsWindowVisible(window) && IsZoomed(window) && !IsIconic(window) &&
               (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    ASSERT_TRUE(WaitUntil([&] { return !RecordOf(helper).starts.empty(); }));
    EXPECT_EQ(RecordOf(helper).starts[0].showCommand, SW_SHOWMAXIMIZED);
    ASSERT_TRUE(WaitUntil(maximisedOnTop));

    // Minimised by someone: put back, not hidden.
    Minimise(window);
    ASSERT_TRUE(WaitUntil([&] { return InHistory(L"Kiosk", "placed"); }));
    ASSERT_TRUE(WaitUntil(maximisedOnTop));

    // Ended and started again: the new window is maximised and on top too.
    HWND const first = window;
    Close(window);
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(helper).starts.size() == 2; }));
    ASSERT_TRUE(WaitUntil([&] { return maximisedOnTop() && window != first; }));
    EXPECT_FALSE(InHistory(L"Kiosk", "hidden"));
}

TEST_F(VigilonTest, AFullScreenProgramCoversItsDisplayWithoutFrameAndGetsItsFrameBackWhenVigilonExits) {
    std::wstring const helper = AddHelper(L"sign.exe", Caption(L"Sign"));
    WriteIni({{L"Sign", Caption(L"Sign"), helper}});
    WritePrivateProfileStringW(L"Sign", L"Show", L"FullScreen", Path(L"vigilon.ini").c_str());
    StartVigilon();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor));
    HWND window = nullptr;
    auto const fullScreen = [&] {
        window = WindowOf(Caption(L"Sign"));
        RECT rect{};
        return window != nullptr && IsWindowVisible(window) && GetWindowRect(window, &rect) &&
               EqualRect(&rect, &monitor.rcMonitor) && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == 0;
    };
    ASSERT_TRUE(WaitUntil(fullScreen));
    ExitVigilon();
    EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }));
    EXPECT_TRUE(InHistory(L"Sign", "released"));
}

}  // namespace
}  // namespace vigilon::e2e
