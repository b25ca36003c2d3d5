#include "e2e_fixture.h"

#include <algorithm>

namespace vigilon::e2e {
namespace {

class RestartFailureTest : public VigilonTest {
protected:
    CommandResult Vigilon(std::wstring const& arguments) { return RunCommand(exe_, arguments, Path(L"answer.txt")); }
    bool Logged(std::string const& text) const {
        return testing::ReadFileBytes(Path(L"vigilon.log")).find(text) != std::string::npos;
    }
};

TEST_F(RestartFailureTest, AProgramThatExitsWellIsLeftClosedOneThatCrashesIsStartedAgain) {
    // Closer ends with 0 when its window is closed; Crasher ends with 3 a moment after each start.
    std::wstring const closer = AddHelper(L"closer.exe", Caption(L"Closer"));
    std::wstring const crasher = AddHelper(L"crasher.exe", Caption(L"Crasher"), L"exit-after-ms=1500");
    WriteIni({{L"Closer", Caption(L"Closer"), closer}, {L"Crasher", Caption(L"Crasher"), crasher}});
    std::wstring const ini = Path(L"vigilon.ini");
    WritePrivateProfileStringW(L"Closer", L"Restart", L"Failure", ini.c_str());
    WritePrivateProfileStringW(L"Crasher", L"Restart", L"Failure", ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"Notices", L"Tray", ini.c_str());
    StartVigilon();
    std::wstring const log = Path(L"vigilon.log");
    auto const seen = [&](std::string const& program, std::string const& event) {
        std::vector<std::string> const events = HistoryEvents(log, program);
        return std::find(events.begin(), events.end(), event) != events.end();
    };
    ASSERT_TRUE(WaitUntil([&] { return seen("Closer", "found"); }));
    Close(WindowOf(Caption(L"Closer")));
    ASSERT_TRUE(WaitUntil([&] { return seen("Closer", "exited"); }));
    EXPECT_TRUE(Logged("\texited\tCloser\texit code 0\r\n"));

    // Crasher's code is read whether its window or its process was seen to go first.
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(crasher).starts.size() >= 2; }));
    EXPECT_TRUE(Logged("\tCrasher\texit code 3"));
    // Closer stays closed over several passes, and the status says so.
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(closer).starts.size() == 1 && WindowOf(Caption(L"Closer")) == nullptr; }, 3));
    CommandResult const status = Vigilon(L"/status");
    EXPECT_EQ(status.exitCode, 1);
    EXPECT_NE(status.output.find("\r\nCloser\tClosed\t"), std::string::npos) << status.output;

    // /start brings it back; asked again, it is running already.
    CommandResult const start = Vigilon(L"/start \"closer\"");
    EXPECT_EQ(start.exitCode, 0);
    EXPECT_EQ(start.output, "Starting closer.\r\n");  // named as asked, as /restart answers
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(closer).starts.size() == 2; }));
    ASSERT_TRUE(WaitUntil([&] { return Vigilon(L"/start \"Closer\"").output == "Closer is running already.\r\n"; }));
    EXPECT_EQ(Vigilon(L"/start \"Nobody\"").exitCode, 2);
    ExitVigilon();
}

}  // namespace
}  // namespace vigilon::e2e
