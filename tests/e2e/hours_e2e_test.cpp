#include "e2e_fixture.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace vigilon::e2e {
namespace {

class HoursTest : public VigilonTest {
protected:
    CommandResult Vigilon(std::wstring const& arguments) { return RunCommand(exe_, arguments, Path(L"answer.txt")); }
    bool Seen(std::string const& program, std::string const& event) const {
        std::vector<std::string> const events = HistoryEvents(Path(L"vigilon.log"), program);
        return std::find(events.begin(), events.end(), event) != events.end();
    }
};

// hh:mm of the local clock `minutes` from now.
std::wstring ClockIn(int minutes) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    int const at = ((now.wHour * 60 + now.wMinute + minutes) % 1440 + 1440) % 1440;
    wchar_t text[8];
    std::swprintf(text, std::size(text), L"%02d:%02d", at / 60, at % 60);
    return text;
}

TEST_F(HoursTest, AProgramWhoseHoursEndIsClosedAsPlannedShownOffAndStartedAgainByStart) {
    std::wstring const sign = AddHelper(L"sign.exe", Caption(L"Sign"));
    WriteIni({{L"Sign", Caption(L"Sign"), sign}});
    std::wstring const ini = Path(L"vigilon.ini");
    // Hours from a minute ago to the next minute or the one after: they end within two minutes.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::wstring const hours = ClockIn(-1) + L"-" + ClockIn(now.wSecond > 40 ? 2 : 1);
    WritePrivateProfileStringW(L"Sign", L"Hours", hours.c_str(), ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"Notices", L"Tray", ini.c_str());
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return Seen("Sign", "found"); }));
    // The end of its hours, within two minutes and a pass (a wide margin for a slow Wine).
    ASSERT_TRUE(WaitUntil([&] { return Seen("Sign", "off"); }, 150));
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(Caption(L"Sign")) == nullptr; }));
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(sign).starts.size() == 1; }, 3));
    std::string const history = testing::ReadFileBytes(Path(L"vigilon.log"));
    EXPECT_NE(history.find("\tgone\tSign\tclosed as asked"), std::string::npos) << history;
    CommandResult const status = Vigilon(L"/status");
    EXPECT_EQ(status.exitCode, 0);  // off is not down
    EXPECT_NE(status.output.find("\r\nSign\tOff until "), std::string::npos) << status.output;

    // A person's start brings it back, and the history says so.
    EXPECT_EQ(Vigilon(L"/start \"Sign\"").exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(sign).starts.size() == 2; }));
    EXPECT_NE(testing::ReadFileBytes(Path(L"vigilon.log")).find("\ton\tSign\tstarted by a person outside its hours"),
              std::string::npos);
    ExitVigilon();
}

// Wine gives no input of its own on an Xvfb: its last input time is 0, before the program's
// window came, and nobody used that start. The test moves the mouse once the window is found (Wine
// takes input sent by SendInput as the last input); a minute later the program on screen is
// restarted for it once, not again.
TEST_F(HoursTest, AProgramOnScreenIsRestartedOnceWhenNobodyUsedThePc) {
    std::wstring const kiosk = AddHelper(L"kiosk.exe", Caption(L"Kiosk"));
    WriteIni({{L"Kiosk", Caption(L"Kiosk"), kiosk}});
    std::wstring const ini = Path(L"vigilon.ini");
    WritePrivateProfileStringW(L"Kiosk", L"Show", L"Normal", ini.c_str());
    WritePrivateProfileStringW(L"Kiosk", L"IdleRestart", L"1", ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"Notices", L"Tray", ini.c_str());
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return Seen("Kiosk", "found"); }));
    EXPECT_FALSE(Seen("Kiosk", "idle"));
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = 5;
    move.mi.dy = 5;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    ASSERT_EQ(SendInput(1, &move, sizeof(move)), 1u);
    // The minute idle, then a pass: a wide margin for a slow Wine.
    ASSERT_TRUE(WaitUntil([&] { return Seen("Kiosk", "idle"); }, 150));
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(kiosk).starts.size() == 2; }));
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(kiosk).starts.size() == 2; }, 5));
    EXPECT_NE(testing::ReadFileBytes(Path(L"vigilon.log")).find("\tidle\tKiosk\tnobody used the PC for 1 min"),
              std::string::npos);
    ExitVigilon();
}

}  // namespace
}  // namespace vigilon::e2e
