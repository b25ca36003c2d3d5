#include <gtest/gtest.h>

#include "fakes/engine_scene.h"

namespace vigilon {
namespace {

class RestraintTest : public ::testing::Test, protected testing::EngineScene {
protected:
    RestraintTest() {
        fake.files.AddFile(L"C:\\crash.exe");
        AddProgram(L"Crash", L"Crash", L"C:\\crash.exe");
        engine.SetNoticeMode(NoticeMode::Tray);
    }
    // The started program opens its window at once and ends `runMs` later: with 1500, it is found
    // by the pass after its start and gone at the one after that.
    void EndAfter(std::int64_t runMs) {
        fake.shell.onLaunch = [this, runMs](auto const&) {
            WindowHandle const window = fake.desktop.Add(L"Crash", true, true);
            fake.events.After(runMs, [this, window] { fake.desktop.Remove(window); });
        };
    }
    // Passes one second apart, as the timer runs them; the starts' times, in seconds from now.
    std::vector<std::int64_t> StartsDuring(int seconds) {
        std::int64_t const from = fake.events.now;
        std::vector<std::int64_t> starts;
        for (int i = 0; i < seconds; ++i) {
            std::size_t const before = fake.shell.launches.size();
            engine.WatchPrograms();
            if (fake.shell.launches.size() > before) starts.push_back((fake.events.now - from) / 1000);
            fake.events.now += 1000;
            fake.events.ProcessPendingEvents();
        }
        return starts;
    }
};

TEST_F(RestraintTest, WithoutBackoffAProgramThatEndsAtOnceIsStartedAgainAtEveryOtherPass) {
    EndAfter(1500);
    EXPECT_EQ(StartsDuring(10).size(), 5u);
}

TEST_F(RestraintTest, QuickEndsDoubleTheDelayUpToFiveMinutesAndALongRunOrLaunchProgramsResetsIt) {
    engine.SetBackoff(true);
    EndAfter(1500);
    std::vector<std::int64_t> const starts = StartsDuring(1300);
    // Each start is found one pass later and gone the next; the delay then runs from that pass.
    std::vector<std::int64_t> gaps;
    for (std::size_t i = 1; i < starts.size(); ++i) gaps.push_back(starts[i] - starts[i - 1]);
    ASSERT_GE(gaps.size(), 9u);
    std::vector<std::int64_t> const expected{4, 6, 10, 18, 34, 66, 130, 258, 302};
    EXPECT_EQ(std::vector<std::int64_t>(gaps.begin(), gaps.begin() + 9), expected);
    EXPECT_EQ(host.notices, std::vector<std::wstring>{
                                L"Crash keeps ending soon after it starts: it is started again every 5 minutes."});

    // Launch Programs starts it again at once, and the delays begin at 2 s again.
    engine.ResumeLaunching();
    EXPECT_EQ(StartsDuring(6), (std::vector<std::int64_t>{0, 4}));

    // A run of a minute or more counts as a success.
    EndAfter(61'000);
    StartsDuring(400);
    EndAfter(1500);
    std::vector<std::int64_t> const after = StartsDuring(70);
    ASSERT_GE(after.size(), 3u);
    EXPECT_EQ(after[2] - after[1], 6);  // 2 s after the first quick end, then 4 s
}

TEST_F(RestraintTest, AWindowThatStopsAnsweringIsAskedToCloseThenItsProcessIsEnded) {
    engine.SetHangSeconds(5);
    WindowHandle const window = fake.desktop.Add(L"Crash - busy", true, false);
    std::uint32_t const process = fake.desktop.WindowProcessId(window);
    engine.WatchPrograms();
    EXPECT_EQ(fake.processes.questions, std::vector<WindowHandle>{window});
    // It answers for a while, and each answer allows one more question.
    for (int i = 0; i < 8; ++i) {
        fake.events.now += 1000;
        engine.WindowAnswered(window, true);
        engine.WatchPrograms();
    }
    EXPECT_EQ(fake.processes.questions.size(), 9u);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());

    // Then no more: five seconds on it is asked to close, ten more and its process is ended.
    std::int64_t const silentFrom = fake.events.now;
    while (fake.desktop.postedCloses.empty() && fake.events.now - silentFrom < 20'000) {
        fake.events.now += 1000;
        engine.WatchPrograms();
    }
    EXPECT_EQ(fake.events.now - silentFrom, 5'000);
    EXPECT_EQ(fake.processes.questions.size(), 9u);  // one question at a time
    while (fake.processes.ended.empty() && fake.events.now - silentFrom < 30'000) {
        fake.events.now += 1000;
        engine.WatchPrograms();
    }
    EXPECT_EQ(fake.events.now - silentFrom, 15'000);
    EXPECT_EQ(fake.processes.ended, std::vector<std::uint32_t>{process});
}

TEST_F(RestraintTest, AProcessThatMayNotBeEndedIsReportedOnceAndLeftAlone) {
    engine.SetHangSeconds(5);
    fake.processes.endResult = EndResult::Denied;
    fake.desktop.Add(L"Crash - elevated", true, false);
    for (int i = 0; i < 60; ++i) {
        engine.WatchPrograms();
        fake.events.now += 1000;
    }
    EXPECT_EQ(fake.processes.ended.size(), 1u);
    EXPECT_EQ(host.notices, std::vector<std::wstring>{L"Crash does not respond, and Vigilon may not end it."});
}

}  // namespace
}  // namespace vigilon
