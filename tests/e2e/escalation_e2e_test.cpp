#include "e2e_fixture.h"

#include <algorithm>

namespace vigilon::e2e {
namespace {

// A program that ends with exit code 3 a moment after each start, with a ladder, back-off, and the command on
// trouble writing what each escalation tells it into told.txt.
class EscalationTest : public VigilonTest {
protected:
    void Prepare(std::wstring const& ladder) {
        std::wstring const crasher = AddHelper(L"crasher.exe", Caption(L"Crasher"), L"exit-after-ms=1500");
        WriteIni({{L"Crasher", Caption(L"Crasher"), crasher}});
        std::wstring const ini = Path(L"vigilon.ini");
        WritePrivateProfileStringW(L"Crasher", L"Escalate", ladder.c_str(), ini.c_str());
        WritePrivateProfileStringW(L"Apps", L"Notices", L"Tray", ini.c_str());
        // Back-off spaces the crashes out (2, 4, 8 s...): the ladder's top is not reached a second
        // time while the test looks.
        WritePrivateProfileStringW(L"Apps", L"Backoff", L"1", ini.c_str());
        WriteTextFile(Path(L"tell.cmd"), L"@if \"%VIGILON_EVENT%\"==\"escalate\" echo %VIGILON_EVENT%;%VIGILON_PROGRAM%;"
                                         L"%VIGILON_COUNT%;%VIGILON_MINUTES%>>\"" + Path(L"told.txt") + L"\"\r\n");
        WritePrivateProfileStringW(L"Apps", L"OnEvent", (L"\"" + Path(L"tell.cmd") + L"\"").c_str(), ini.c_str());
    }
    std::size_t Said(std::string const& event) const {
        std::vector<std::string> const events = HistoryEvents(Path(L"vigilon.log"), "Crasher");
        return static_cast<std::size_t>(std::count(events.begin(), events.end(), event));
    }
};

TEST_F(EscalationTest, AProgramThatKeepsCrashingRunsTheCommandOnTroubleAtItsLaddersStep) {
    Prepare(L"3:command");
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return !testing::ReadFileBytes(Path(L"told.txt")).empty(); }, 60))
        << testing::ReadFileBytes(Path(L"vigilon.log"));
    EXPECT_EQ(testing::ReadFileBytes(Path(L"told.txt")), "escalate;Crasher;3;60\r\n");
    EXPECT_EQ(Said("escalate"), 1u);
    EXPECT_GE(Said("gone"), 3u);
}

// The restart itself is never asked of Wine, which would end the test's own session: the notice
// counts down ten minutes (EscalateNotice=600) and is cancelled within seconds of appearing, and
// ending Vigilon at the test's end cancels it too. A PC started less than MinUptime=5 minutes ago
// holds the restart instead, which the test then says.
TEST_F(EscalationTest, TheNoticeCountsDownOnTopAndCancelStopsTheRestart) {
    Prepare(L"2:reboot");
    std::wstring const ini = Path(L"vigilon.ini");
    WritePrivateProfileStringW(L"Apps", L"EscalateNotice", L"600", ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"MinUptime", L"5", ini.c_str());
    ASSERT_GE(GetTickCount64(), 5u * 60'000u) << "the system started less than 5 minutes ago: the restart would be held";
    StartVigilon();
    HWND notice = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (notice = FindWindowW(L"VigilonEscalationNotice", nullptr)) != nullptr; }, 60))
        << testing::ReadFileBytes(Path(L"vigilon.log"));
    EXPECT_TRUE(GetWindowLongPtrW(notice, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrW(notice, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);  // no taskbar button on a kiosk
    HWND const text = FindWindowExW(notice, nullptr, L"Static", nullptr);
    ASSERT_NE(text, nullptr);
    wchar_t shown[256] = L"";
    ASSERT_TRUE(WaitUntil([&] { return GetWindowTextW(text, shown, 256) > 0; }));
    EXPECT_TRUE(std::wstring(shown).starts_with(L"Vigilon restarts this PC in ")) << shown;
    EXPECT_TRUE(std::wstring(shown).ends_with(L" s: Crasher failed 2 times in 60 minutes.")) << shown;
    HWND const cancel = FindWindowExW(notice, nullptr, L"Button", L"Cancel");
    ASSERT_NE(cancel, nullptr);
    PostMessageW(notice, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    ASSERT_TRUE(WaitUntil([&] { return Said("cancelled") == 1; }));
    EXPECT_TRUE(WaitUntil([] { return FindWindowW(L"VigilonEscalationNotice", nullptr) == nullptr; }));
    EXPECT_TRUE(testing::ReadFileBytes(Path(L"vigilon.log")).find("restart of the PC cancelled by Cancel") != std::string::npos);
}

}  // namespace
}  // namespace vigilon::e2e
