#include "e2e_fixture.h"

#include <algorithm>

namespace vigilon::e2e {
namespace {

TEST_F(VigilonTest, InTrayModeAnAwaitedProgramHoldsUpNoOtherAndNoBoxAppears) {
    std::wstring const quitter = AddHelper(L"quit.exe", Caption(L"Quitter"), L"exit-at-once");
    std::wstring const runner = AddHelper(L"run.exe", Caption(L"Runner"));
    WriteIni({{L"Quitter", Caption(L"Quitter"), quitter}, {L"Runner", Caption(L"Runner"), runner}});
    WritePrivateProfileStringW(L"Apps", L"Notices", L"Tray", Path(L"vigilon.ini").c_str());
    StartVigilon();

    // Both started in the first pass; Runner is hidden and, once it exits, started again, all
    // while Quitter's window is awaited. A window not yet shown looks hidden too: the history
    // tells when Vigilon hid it.
    std::wstring const log = Path(L"vigilon.log");
    auto const runnerHidden = [&] {
        std::vector<std::string> const events = HistoryEvents(log, "Runner");
        return std::find(events.begin(), events.end(), "hidden") != events.end();
    };
    ASSERT_TRUE(WaitUntil(runnerHidden));
    Close(WindowOf(Caption(L"Runner")));
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(runner).starts.size() == 2; }));
    ASSERT_TRUE(WaitUntil([&] {
        std::vector<std::string> const events = HistoryEvents(log, "Runner");
        return std::count(events.begin(), events.end(), "hidden") == 2;
    }));
    EXPECT_EQ(RecordOf(quitter).starts.size(), 1u);

    // No box, in Tray mode, for anything. (The notice a minute on, when the window has not come,
    // is the unit tests' to show: the minute itself is not worth waiting for here.)
    EXPECT_TRUE(HoldsFor([&] { return FindMessageBox(L"Vigilon") == nullptr; }, 2));
    ExitVigilon();

    EXPECT_EQ(HistoryEvents(log, ""), (std::vector<std::string>{"start", "exit"}));
    EXPECT_EQ(HistoryEvents(log, "Quitter"), (std::vector<std::string>{"launch"}));
    std::vector<std::string> const runnerEvents = HistoryEvents(log, "Runner");
    std::vector<std::string> const expected{"launch", "found", "hidden", "gone", "launch", "found", "hidden"};
    ASSERT_GE(runnerEvents.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(runnerEvents.begin(), runnerEvents.begin() + 7), expected);
}

class RestraintTest : public VigilonTest {
protected:
    // Starts over 20 s of a program that ends a second after each start, with or without back-off.
    std::size_t CrashLoopStarts(bool backoff) {
        std::wstring const helper = AddHelper(backoff ? L"b.exe" : L"n.exe", Caption(backoff ? L"B" : L"N"),
                                              L"exit-after-ms=1000");
        WriteIni({{L"Crash", Caption(backoff ? L"B" : L"N"), helper}});
        WritePrivateProfileStringW(L"Apps", L"Backoff", backoff ? L"1" : L"0", Path(L"vigilon.ini").c_str());
        StartVigilon();
        EXPECT_TRUE(WaitUntil([&] { return !RecordOf(helper).starts.empty(); }));
        // Counted while Vigilon keeps answering at once.
        EXPECT_TRUE(HoldsFor([&] { return SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr) != 0; }, 20));
        std::size_t const starts = RecordOf(helper).starts.size();
        ExitVigilon();
        return starts;
    }
};

TEST_F(RestraintTest, BackoffStartsACrashingProgramFarLessOften) {
    std::size_t const plain = CrashLoopStarts(false);
    std::size_t const restrained = CrashLoopStarts(true);
    EXPECT_LE(restrained, 4u) << "with back-off";  // 2, 4 and 8 s apart, after a run of 1 s each: four in 20 s
    EXPECT_GT(plain, 2 * restrained) << "without: " << plain;
    EXPECT_NE(testing::ReadFileBytes(Path(L"vigilon.log")).find("\tbackoff\tCrash\tnext start in 4 s\r\n"), std::string::npos);
}

TEST_F(RestraintTest, AProgramThatStopsRespondingIsEndedOneThatAsksToSaveIsSparedAndOneThatAnswersIsLeftAlone) {
    constexpr int kHangSeconds = 5;
    // Hanger stops answering for good 5 s after its start, once it has answered Vigilon (a window
    // that never answered is given a minute to start up). Saver stops for 9 s, then answers the
    // close request with "Save changes?" and waits for the user. Answerer answers all along.
    std::wstring const hanger = AddHelper(L"h.exe", Caption(L"Hanger"), L"hang-after-ms=5000");
    std::wstring const saver = AddHelper(L"s.exe", Caption(L"Saver"), L"hang-after-ms=5000 busy-for-ms=9000 ask-on-close");
    std::wstring const answerer = AddHelper(L"a.exe", Caption(L"Answerer"));
    WriteIni({{L"Hanger", Caption(L"Hanger"), hanger}, {L"Saver", Caption(L"Saver"), saver},
              {L"Answerer", Caption(L"Answerer"), answerer}});
    WritePrivateProfileStringW(L"Apps", L"HangSeconds", std::to_wstring(kHangSeconds).c_str(), Path(L"vigilon.ini").c_str());
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return !RecordOf(hanger).starts.empty() && !RecordOf(saver).starts.empty(); }));
    // Within the hang time, 10 s to close, the last question's 2 s and a margin of 8 s for a busy
    // machine, Hanger is started again, while Vigilon answers all along.
    EXPECT_TRUE(WaitUntil([&] { return RecordOf(hanger).starts.size() >= 2; }, 5 + kHangSeconds + 10 + 2 + 8));
    EXPECT_EQ(SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr) != 0, true);
    std::wstring const log = Path(L"vigilon.log");
    auto const spared = [&] {
        std::vector<std::string> const events = HistoryEvents(log, "Saver");
        return std::find(events.begin(), events.end(), "spared") != events.end();
    };
    EXPECT_TRUE(WaitUntil(spared, 30));
    // Its question to the user stays on the screen, and nothing more is done to it.
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(saver).starts.size() == 1 && WindowOf(Caption(L"Saver")) != nullptr; }, 3));
    EXPECT_EQ(RecordOf(answerer).starts.size(), 1u);
    EXPECT_EQ(RecordOf(answerer).closes, 0);
    ExitVigilon();
    std::vector<std::string> const events = HistoryEvents(log, "Hanger");
    std::vector<std::string> const expected{"launch", "found", "hidden", "hung", "close", "ended", "gone", "launch"};
    ASSERT_GE(events.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 8), expected);
}

TEST_F(RestraintTest, RestartRulesRestartALeakingProgramAndADailyOne) {
    // Grower takes 20 MB more every second; its limit is 100 MB. Daily is restarted at the next
    // whole minute at least 30 s away.
    std::wstring const grower = AddHelper(L"m.exe", Caption(L"Grower"), L"grow-mb=20");
    std::wstring const daily = AddHelper(L"d.exe", Caption(L"Daily"));
    WriteIni({{L"Grower", Caption(L"Grower"), grower}, {L"Daily", Caption(L"Daily"), daily}});
    std::wstring const ini = Path(L"vigilon.ini");
    WritePrivateProfileStringW(L"Grower", L"MaxMemoryMB", L"100", ini.c_str());
    SYSTEMTIME now{};
    GetLocalTime(&now);
    int const at = (now.wHour * 60 + now.wMinute + (now.wSecond < 30 ? 1 : 2)) % 1440;
    wchar_t time[8];
    swprintf(time, 8, L"%02d:%02d", at / 60, at % 60);
    WritePrivateProfileStringW(L"Daily", L"RestartAt", time, ini.c_str());
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return !RecordOf(grower).starts.empty() && !RecordOf(daily).starts.empty(); }));

    // Over its limit within 5 s, restarted a minute later; Daily within two minutes. Both close
    // when asked. The margins are for a machine busy with other tests.
    EXPECT_TRUE(WaitUntil([&] { return RecordOf(grower).starts.size() >= 2; }, 5 + 5 + 60 + 20));
    EXPECT_TRUE(WaitUntil([&] { return RecordOf(daily).starts.size() >= 2; }, 150));
    ExitVigilon();
    std::wstring const log = Path(L"vigilon.log");
    std::vector<std::string> const expected{"memory", "close", "gone", "launch"};
    std::vector<std::string> const growerEvents = HistoryEvents(log, "Grower");
    auto const memory = std::find(growerEvents.begin(), growerEvents.end(), "memory");
    ASSERT_GE(growerEvents.end() - memory, 4);
    EXPECT_EQ(std::vector<std::string>(memory, memory + 4), expected);
    std::vector<std::string> const dailyEvents = HistoryEvents(log, "Daily");
    auto const scheduled = std::find(dailyEvents.begin(), dailyEvents.end(), "scheduled");
    ASSERT_GE(dailyEvents.end() - scheduled, 4);
    EXPECT_EQ(std::vector<std::string>(scheduled, scheduled + 4),
              (std::vector<std::string>{"scheduled", "close", "gone", "launch"}));
}

}  // namespace
}  // namespace vigilon::e2e
