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
    // Passes one second apart, as the timer runs them; after each, every question out is answered,
    // or reported unanswered, as the system reports a question to a hung window.
    void Passes(int count, bool answering) {
        for (int i = 0; i < count; ++i) {
            engine.WatchPrograms();
            for (; answered_ < fake.processes.questions.size(); ++answered_) {
                engine.WindowAnswered(fake.processes.questions[answered_], answering);
            }
            fake.events.now += 1000;
        }
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

private:
    std::size_t answered_ = 0;
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

TEST_F(RestraintTest, AStartWhoseWindowNeverComesCountsAsAQuickEnd) {
    engine.SetBackoff(true);
    std::vector<std::int64_t> const starts = StartsDuring(500);
    std::vector<std::int64_t> gaps;
    for (std::size_t i = 1; i < starts.size(); ++i) gaps.push_back(starts[i] - starts[i - 1]);
    // The minute's wait, then 2 s, doubling.
    ASSERT_GE(gaps.size(), 4u);
    EXPECT_EQ(std::vector<std::int64_t>(gaps.begin(), gaps.begin() + 4), (std::vector<std::int64_t>{63, 65, 69, 77}));
}

TEST_F(RestraintTest, AMinimisedWindowThatDoesNotHideIsSaidHiddenOnce) {
    WindowHandle const window = fake.desktop.Add(L"Crash - hung", true, true);
    fake.desktop.frozen.push_back(window);
    Passes(10, true);
    // Running before Vigilon saw it: found, then hidden.
    EXPECT_EQ(Events(L"Crash"), (std::vector<std::wstring>{L"found", L"hidden"}));
    // Once it is shown and minimised again, that is a new hiding.
    fake.desktop.frozen.clear();
    fake.desktop.Find(window)->visible = true;
    fake.desktop.Find(window)->minimised = false;
    Passes(1, true);
    fake.desktop.Find(window)->minimised = true;
    Passes(3, true);
    EXPECT_EQ(Events(L"Crash"), (std::vector<std::wstring>{L"found", L"hidden", L"hidden"}));
    // It shows itself minimised again, as tray programs do: hidden again, and said again.
    fake.desktop.Find(window)->visible = true;
    Passes(2, true);
    EXPECT_EQ(Events(L"Crash"), (std::vector<std::wstring>{L"found", L"hidden", L"hidden", L"hidden"}));
}

TEST_F(RestraintTest, OnlyAQuestionLeftUnansweredForTheHangTimeWhilePassingCallsAWindowHung) {
    WindowHandle const window = fake.desktop.Add(L"Crash - busy", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\crash.exe";
    // Watched for an hour with the check off: no question, so nothing is late when it is turned on.
    Passes(3600, true);
    EXPECT_TRUE(fake.processes.questions.empty());
    engine.SetHangSeconds(5);
    Passes(30, true);
    // No pass for ten minutes (asleep, or the editor open) while a question is out, and then it
    // answers: the pause is not counted.
    engine.WatchPrograms();
    fake.events.now += 600'000;
    Passes(30, true);
    // Questions that cannot be sent start no count either.
    fake.processes.questionsQueue = false;
    Passes(30, false);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    EXPECT_EQ(Events(L"Crash"), std::vector<std::wstring>{L"found"});

    // A question sent and left unanswered: hung after five seconds of passes, asked to close.
    fake.processes.questionsQueue = true;
    std::int64_t const from = fake.events.now;
    while (fake.desktop.postedCloses.empty() && fake.events.now - from < 20'000) Passes(1, false);
    EXPECT_EQ(fake.desktop.postedCloses, std::vector<WindowHandle>{window});
    EXPECT_EQ(fake.events.now - from, 6'000);  // the question goes at the first pass, five more pass
    EXPECT_EQ(Events(L"Crash"), (std::vector<std::wstring>{L"found", L"hung", L"close"}));
}

TEST_F(RestraintTest, AHungWindowIsAskedOnceMoreBeforeItsProcessIsEndedAndOneThatAnswersIsSpared) {
    engine.SetHangSeconds(5);
    WindowHandle const window = fake.desktop.Add(L"Crash - busy", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\crash.exe";
    // Past the start-up allowance (a minute since it was found without an answer); 10 min is a wide bound.
    for (int i = 0; i < 600 && fake.desktop.postedCloses.empty(); ++i) Passes(1, false);
    ASSERT_FALSE(fake.desktop.postedCloses.empty());
    // Ten seconds to close; then it is asked once more, and answers (it asks the user to save).
    Passes(9, false);
    std::size_t const asked = fake.processes.questions.size();
    Passes(1, true);
    EXPECT_EQ(fake.processes.questions.size(), asked + 1);
    Passes(1, true);
    EXPECT_TRUE(fake.processes.ended.empty());
    EXPECT_EQ(Events(L"Crash"), (std::vector<std::wstring>{L"found", L"hung", L"close", L"spared"}));

    // Spared, it is not asked to close again for an hour, however long it does not answer: no
    // second prompt is stacked on the first.
    Passes(1700, false);
    EXPECT_EQ(fake.desktop.postedCloses.size(), 1u);
    // Hung for good: an hour on, the last question goes unanswered too, and its process is ended.
    for (int i = 0; i < 2000 && fake.processes.ended.empty(); ++i) Passes(1, false);
    EXPECT_EQ(fake.processes.ended, std::vector<std::uint32_t>{fake.desktop.WindowProcessId(window)});
    EXPECT_EQ(Events(L"Crash"),
              (std::vector<std::wstring>{L"found", L"hung", L"close", L"spared", L"hung", L"close", L"ended"}));
    // Its window goes with its process: it was ended, not closed as asked.
    fake.desktop.Remove(window);
    Passes(1, false);
    EXPECT_NE(fake.files.texts[std::wstring(kFolder) + L"vigilon.log"].find("\tgone\tCrash\tended after no answer"),
              std::string::npos);
}

TEST_F(RestraintTest, OnlyTheProgramsOwnProcessIsEnded) {
    engine.SetHangSeconds(5);
    // A window with the program's caption that belongs to another program (a folder window of
    // Explorer's, a terminal): said once, and left running.
    WindowHandle const folder = fake.desktop.Add(L"Crash - folder", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(folder)] = L"C:\\Windows\\explorer.exe";
    Passes(70, false);  // past the minute's start-up allowance
    EXPECT_TRUE(fake.processes.ended.empty());
    EXPECT_TRUE(fake.desktop.postedCloses.empty());  // not even asked to close
    EXPECT_EQ(host.notices, std::vector<std::wstring>{L"Crash is not ended: its window belongs to "
                                                      L"C:\\Windows\\explorer.exe, not to C:\\crash.exe."});

    // The program's own executable, by a short name: ended.
    fake.desktop.Remove(folder);
    WindowHandle const own = fake.desktop.Add(L"Crash - own", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(own)] = L"C:\\CRASH~1.EXE";
    fake.files.longPaths[L"C:\\CRASH~1.EXE"] = L"C:\\Crash.exe";
    for (int i = 0; i < 90 && fake.processes.ended.empty(); ++i) Passes(1, false);
    EXPECT_EQ(fake.processes.ended, std::vector<std::uint32_t>{fake.desktop.WindowProcessId(own)});

    // The process Vigilon started for it, whatever its image (a launcher's): ended; but not a
    // later process that has taken its id.
    fake.shell.processId = 4242;
    fake.shell.processStarted = 777;
    fake.shell.onLaunch = [this](auto const&) {
        fake.desktop.Find(fake.desktop.Add(L"Crash - started", true, false))->processId = 4242;
    };
    fake.processes.images[4242] = L"C:\\Other\\launched.exe";
    fake.processes.startTimes[4242] = 778;
    fake.desktop.Remove(own);
    Passes(90, false);
    EXPECT_EQ(fake.processes.ended.size(), 1u);
    fake.desktop.Remove(engine.WindowOf(programs[1].name));
    fake.processes.startTimes[4242] = 777;
    for (int i = 0; i < 90 && fake.processes.ended.size() < 2; ++i) Passes(1, false);
    ASSERT_EQ(fake.processes.ended.size(), 2u);
    EXPECT_EQ(fake.processes.ended.back(), 4242u);
}

// A hung window Vigilon may not end stays a trouble: however long it is there, it is never
// reported recovered.
TEST_F(RestraintTest, AHungWindowLeftAloneIsNeverReportedRecovered) {
    engine.SetHangSeconds(5);
    engine.SetTroubleCommand(L"C:\\Tools\\tell.cmd");
    WindowHandle const folder = fake.desktop.Add(L"Crash - folder", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(folder)] = L"C:\\Windows\\explorer.exe";
    Passes(400, false);
    ASSERT_FALSE(fake.commands.commands.empty());
    for (auto const& command : fake.commands.commands) {
        EXPECT_NE(command.variables.at(L"VIGILON_EVENT"), L"recovered");
    }
}

TEST_F(RestraintTest, TurningTheCheckOffStopsARestartUnderWay) {
    engine.SetHangSeconds(5);
    WindowHandle const window = fake.desktop.Add(L"Crash - busy", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\crash.exe";
    for (int i = 0; i < 600 && fake.desktop.postedCloses.empty(); ++i) Passes(1, false);  // 10 min: a wide bound
    ASSERT_FALSE(fake.desktop.postedCloses.empty());
    engine.SetHangSeconds(0);
    Passes(30, false);
    EXPECT_TRUE(fake.processes.ended.empty());
}

TEST_F(RestraintTest, MemoryOverTheLimitForAMinuteRestartsTheProgramButASpikeDoesNot) {
    programs[1].rules.maxMemoryMB = L"100";
    WindowHandle const window = fake.desktop.Add(L"Crash - big", true, false);
    std::uint32_t const process = fake.desktop.WindowProcessId(window);
    fake.processes.images[process] = L"C:\\crash.exe";
    // Half a minute over the limit at start-up, then under: left alone.
    fake.processes.memory[process] = std::uint64_t{300} << 20;
    Passes(30, true);
    fake.processes.memory[process] = std::uint64_t{50} << 20;
    Passes(90, true);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());

    // Over for good: asked to close a minute after the first reading over it, which comes within
    // five seconds; read at most every five seconds meanwhile.
    fake.processes.memory[process] = std::uint64_t{300} << 20;
    int const readings = fake.processes.memoryReadings;
    std::int64_t const from = fake.events.now;
    while (fake.desktop.postedCloses.empty() && fake.events.now - from < 120'000) Passes(1, true);
    EXPECT_GE(fake.events.now - from, 60'000);
    EXPECT_LE(fake.events.now - from, 66'000);
    EXPECT_LE(fake.processes.memoryReadings - readings, 14);
    // It answers instead of closing (it asks to save): spared, and that window is not asked again
    // for its memory within the hour, so no second prompt is stacked on the first.
    Passes(12, true);
    EXPECT_EQ(Events(L"Crash"), (std::vector<std::wstring>{L"found", L"memory", L"close", L"spared"}));
    Passes(600, true);
    EXPECT_EQ(fake.desktop.postedCloses.size(), 1u);
    // The user closes it; the usual pass starts it again, and the new window is a new case.
    fake.desktop.Remove(window);
    Passes(1, true);
    WindowHandle const again = fake.desktop.Add(L"Crash - big", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(again)] = L"C:\\crash.exe";
    fake.processes.memory[fake.desktop.WindowProcessId(again)] = std::uint64_t{300} << 20;
    Passes(70, true);
    EXPECT_EQ(fake.desktop.postedCloses, (std::vector<WindowHandle>{window, again}));
    EXPECT_EQ(Events(L"Crash"), (std::vector<std::wstring>{L"found", L"memory", L"close", L"spared", L"gone",
                                                          L"launch", L"found", L"memory", L"close"}));
    EXPECT_NE(fake.files.texts[std::wstring(kFolder) + L"vigilon.log"].find("\tmemory\tCrash\t300 MB, over its 100 MB limit for a minute\r\n"),
              std::string::npos);
}

TEST_F(RestraintTest, ADailyRestartComesAtItsTimeButNotWhileLaunchingIsPaused) {
    programs[1].rules.restartAt = L"03:06";  // the fake clock starts at 03:04:05
    WindowHandle const window = fake.desktop.Add(L"Crash - daily", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\crash.exe";
    Passes(110, true);  // to 03:05:55
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    Passes(10, true);
    EXPECT_EQ(fake.desktop.postedCloses, std::vector<WindowHandle>{window});
    EXPECT_EQ(Events(L"Crash"), (std::vector<std::wstring>{L"found", L"scheduled", L"close"}));

    // The next day, with launching paused over the time: skipped, and not done when launching
    // resumes.
    // (It did not close when Close Programs asked it to.)
    fake.desktop.Remove(window);
    WindowHandle const again = fake.desktop.Add(L"Crash - daily", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(again)] = L"C:\\crash.exe";
    fake.desktop.refuseClose.push_back(again);
    engine.ClosePrograms();
    fake.events.localShift = 24 * 3600 * 1000 - 5 * 60 * 1000;  // a day on, five minutes before
    Passes(600, true);
    engine.ResumeLaunching();
    Passes(10, true);
    EXPECT_EQ(fake.desktop.postedCloses.size(), 1u);
}

TEST_F(RestraintTest, OnlyTheStartsThatAskForItAreMadeWithoutTheCrashDialog) {
    fake.files.AddFile(L"C:\\quiet.exe");
    AddProgram(L"Quiet", L"Quiet", L"C:\\quiet.exe").rules.crashDialog = L"0";
    fake.system.errorMode = 0x8001;  // the modes Vigilon itself runs with are kept
    std::vector<std::pair<std::wstring, std::uint32_t>> modes;
    fake.shell.onLaunch = [&](auto const& launch) { modes.emplace_back(launch.file, fake.system.errorMode); };
    Passes(1, true);
    EXPECT_EQ(modes, (std::vector<std::pair<std::wstring, std::uint32_t>>{{L"\"C:\\crash.exe\"", 0x8001},
                                                                          {L"\"C:\\quiet.exe\"", 0x8003}}));
    EXPECT_EQ(fake.system.errorMode, 0x8001u);  // put back after the start
}

TEST_F(RestraintTest, AValueThatCannotBeUsedIsIgnoredAndSaidOnce) {
    programs[1].rules.maxMemoryMB = L"lots";
    programs[1].rules.restartAt = L"25:00";
    WindowHandle const window = fake.desktop.Add(L"Crash - odd", true, false);
    fake.processes.memory[fake.desktop.WindowProcessId(window)] = std::uint64_t{900} << 20;
    Passes(200, true);
    EXPECT_EQ(Events(L"Crash"), (std::vector<std::wstring>{L"found", L"ignored", L"ignored"}));
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    EXPECT_NE(fake.files.texts[std::wstring(kFolder) + L"vigilon.log"].find(
                  "\tignored\tCrash\tRestartAt=25:00: not times of day from 0:00 to 23:59, as hh:mm, separated by "
                  "commas\r\n"),
              std::string::npos);
}

TEST_F(RestraintTest, AProcessThatMayNotBeEndedIsReportedOnceAndLeftAlone) {
    engine.SetHangSeconds(5);
    fake.processes.endResult = EndResult::Denied;
    WindowHandle const window = fake.desktop.Add(L"Crash - elevated", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\crash.exe";
    Passes(90, false);  // the minute's start-up allowance, five seconds, ten to close
    EXPECT_EQ(fake.processes.ended.size(), 1u);
    EXPECT_EQ(host.notices, std::vector<std::wstring>{L"Crash does not respond, and Vigilon may not end it."});
}

// While launching is paused nothing would start a program again: no rule closes or ends one,
// and a restart under way is called off.
TEST_F(RestraintTest, NoRuleClosesOrEndsAnythingWhileLaunchingIsPaused) {
    engine.SetHangSeconds(5);
    programs[1].rules.maxMemoryMB = L"100";
    programs[1].rules.restartAt = L"03:05";  // the fake clock starts at 03:04:05
    WindowHandle const window = fake.desktop.Add(L"Crash - busy", true, false);
    std::uint32_t const process = fake.desktop.WindowProcessId(window);
    fake.processes.images[process] = L"C:\\crash.exe";
    fake.processes.memory[process] = std::uint64_t{300} << 20;
    Passes(2, true);
    engine.PauseLaunching();
    Passes(200, false);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    EXPECT_TRUE(fake.processes.ended.empty());

    // A hang restart under way when launching is paused goes no further.
    programs[1].rules = {};
    engine.ResumeLaunching();
    for (int i = 0; i < 30 && fake.desktop.postedCloses.empty(); ++i) Passes(1, false);
    ASSERT_EQ(fake.desktop.postedCloses.size(), 1u);
    engine.ClosePrograms();  // the window stays: it does not answer
    fake.desktop.refuseClose.push_back(window);
    Passes(60, false);
    EXPECT_TRUE(fake.processes.ended.empty());
}

// A program busy while it starts up (loading data, a splash screen) is not taken for hung: not
// before it has answered once, or a minute has passed since its window was found.
TEST_F(RestraintTest, AWindowIsNotHungBeforeItHasAnsweredOnceOrAMinuteHasPassed) {
    engine.SetHangSeconds(5);
    fake.shell.processId = 4242;
    fake.shell.processStarted = 777;
    fake.processes.startTimes[4242] = 777;
    fake.shell.onLaunch = [this](auto const&) {
        fake.desktop.Find(fake.desktop.Add(L"Crash - loading", true, false))->processId = 4242;
    };
    Passes(55, false);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    // It answers once, then stops: hung five seconds later.
    Passes(1, true);
    for (int i = 0; i < 10 && fake.desktop.postedCloses.empty(); ++i) Passes(1, false);
    EXPECT_EQ(fake.desktop.postedCloses.size(), 1u);

    // A new start that never answers: hung once the minute since it was found is over.
    fake.desktop.Remove(engine.WindowOf(programs[1].name));
    Passes(2, false);
    std::size_t const closes = fake.desktop.postedCloses.size();
    Passes(58, false);
    EXPECT_EQ(fake.desktop.postedCloses.size(), closes);
    Passes(4, false);
    EXPECT_EQ(fake.desktop.postedCloses.size(), closes + 1);
}

// A memory limit under the program's normal use would restart it all day: three restarts for one
// reason in an hour, then the next is held and said once, everywhere someone may look.
TEST_F(RestraintTest, NoRuleRestartsAProgramMoreThanThreeTimesAnHourForOneReason) {
    engine.SetTroubleCommand(L"C:\\Tools\\tell.cmd");
    engine.SetEventLog(true);
    programs[1].rules.maxMemoryMB = L"100";
    fake.desktop.closeOnPost = true;
    fake.shell.onLaunch = [this](auto const&) {
        WindowHandle const window = fake.desktop.Add(L"Crash", true, false);
        std::uint32_t const process = fake.desktop.WindowProcessId(window);
        fake.processes.images[process] = L"C:\\crash.exe";
        fake.processes.memory[process] = std::uint64_t{300} << 20;
    };
    Passes(3000, true);
    EXPECT_EQ(fake.desktop.postedCloses.size(), 3u);
    std::wstring const held = L"Crash is not restarted: it was restarted 3 times in the last hour because its "
                              L"memory stayed over its limit.";
    EXPECT_EQ(std::count(host.notices.begin(), host.notices.end(), held), 1);
    std::vector<std::wstring> const events = Events(L"Crash");
    EXPECT_EQ(std::count(events.begin(), events.end(), L"held"), 1);
    int commands = 0;
    for (auto const& command : fake.commands.commands) commands += command.variables.at(L"VIGILON_EVENT") == L"held";
    EXPECT_EQ(commands, 1);
    int entries = 0;
    for (auto const& entry : fake.eventLog.entries) entries += entry.details == held;
    EXPECT_EQ(entries, 1);
    // An hour after the first, a restart is allowed again.
    Passes(700, true);
    EXPECT_EQ(fake.desktop.postedCloses.size(), 4u);
}

// A process taken as the program's own by its path alone may run other windows too: the shell's
// (EXE=explorer.exe to keep a folder open), a browser in app mode, javaw.exe. Left alone, and said.
TEST_F(RestraintTest, NeitherTheShellNorAProcessShowingOtherWindowsIsEnded) {
    engine.SetHangSeconds(5);
    programs[1].exe = L"C:\\Windows\\explorer.exe";
    WindowHandle const folder = fake.desktop.Add(L"Crash - folder", true, false);
    std::uint32_t const shell = fake.desktop.WindowProcessId(folder);
    fake.desktop.shellProcess = shell;
    fake.processes.images[shell] = L"C:\\Windows\\explorer.exe";
    Passes(70, false);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    EXPECT_TRUE(fake.processes.ended.empty());
    EXPECT_EQ(host.notices, std::vector<std::wstring>{
                                L"Crash is not ended: its window belongs to the Windows shell, C:\\Windows\\explorer.exe."});
    // Asked to restart it, Vigilon refuses, and the window stays left alone: nothing is said again.
    EXPECT_EQ(engine.RestartProgram(L"Crash"), WatchEngine::RestartAnswer::NotItsOwn);
    Passes(70, false);
    EXPECT_EQ(host.notices.size(), 1u);

    // The program's executable, with a window of another program's in the same process.
    programs[1].exe = L"C:\\crash.exe";
    fake.desktop.Remove(folder);
    WindowHandle const own = fake.desktop.Add(L"Crash - main", true, false);
    std::uint32_t const process = fake.desktop.WindowProcessId(own);
    fake.processes.images[process] = L"C:\\crash.exe";
    WindowHandle const tool = fake.desktop.Add(L"Another tool", true, false);
    fake.desktop.Find(tool)->processId = process;
    fake.desktop.Find(fake.desktop.Add(L"", false, false))->processId = process;  // hidden: not shown
    Passes(70, false);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    EXPECT_TRUE(fake.processes.ended.empty());
    std::wstring const othersShown = L"Crash is not ended: its process, C:\\crash.exe, shows other windows than Crash's.";
    EXPECT_EQ(host.notices.back(), othersShown);

    // The other window is a watched program's, hidden as Vigilon hides them: it still counts.
    AddProgram(L"Tool", L"Another tool", L"C:\\crash.exe");
    fake.desktop.Find(tool)->visible = false;
    fake.desktop.Remove(own);
    fake.desktop.Find(fake.desktop.Add(L"Crash - main again", true, false))->processId = process;
    host.notices.clear();
    Passes(70, false);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    EXPECT_TRUE(fake.processes.ended.empty());
    EXPECT_NE(std::find(host.notices.begin(), host.notices.end(), othersShown), host.notices.end());
}

// A caption found anywhere fits the user's own windows of the same browser: with Contains (or End),
// any other window the process shows is not the program's, and the browser is not ended.
TEST_F(RestraintTest, ABrowserShowingTheUsersWindowIsNotEndedForAProgramMatchedByContains) {
    WatchedProgram& mail = AddProgram(L"Mail", L"Outlook", L"C:\\Edge\\msedge.exe");
    mail.rules.captionMatch = L"Contains";
    fake.files.AddFile(L"C:\\Edge\\msedge.exe");
    WindowHandle const app = fake.desktop.Add(L"Mail - Outlook", true, false);
    std::uint32_t const browser = fake.desktop.WindowProcessId(app);
    fake.processes.images[browser] = L"C:\\Edge\\msedge.exe";
    fake.desktop.Find(fake.desktop.Add(L"Outlook - Search - Edge", true, false))->processId = browser;
    Passes(3, true);
    EXPECT_EQ(engine.RestartProgram(L"Mail"), WatchEngine::RestartAnswer::NotItsOwn);
    Passes(70, true);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    EXPECT_TRUE(fake.processes.ended.empty());
}

// A start the shell refuses (not a valid program, access denied) is a failed start for back-off,
// and is said once until a start succeeds.
TEST_F(RestraintTest, AStartTheShellRefusesBacksOffAndIsSaidOnceUntilAStartSucceeds) {
    fake.shell.result = 2;
    EXPECT_EQ(StartsDuring(10).size(), 1u);  // without back-off: tried again once a minute
    engine.ResumeLaunching();
    engine.SetBackoff(true);
    EXPECT_EQ(StartsDuring(40), (std::vector<std::int64_t>{0, 2, 6, 14, 30}));
    std::wstring const refused = L"Error launching: \"C:\\crash.exe\"";
    EXPECT_EQ(host.notices, std::vector<std::wstring>{refused});
    // A start succeeds; a later refusal is news again.
    fake.shell.result = 42;
    EndAfter(1500);
    engine.ResumeLaunching();
    StartsDuring(3);
    fake.shell.result = 2;
    StartsDuring(3);
    EXPECT_EQ(host.notices, (std::vector<std::wstring>{refused, refused}));
}

// A window held for a program while another, whose caption begins with its own, had none: once
// that caption is back (the editor still open, no pass since), a restart asked for is refused
// rather than closing the other program's window.
TEST_F(RestraintTest, ARestartAskedForClosesNoWindowThatACaptionPutBackGaveToAnotherProgram) {
    fake.files.AddFile(L"C:\\other.exe");
    AddProgram(L"Other", L"", L"C:\\other.exe");
    WindowHandle const window = fake.desktop.Add(L"Crash Other - report", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\other.exe";
    Passes(2, true);
    ASSERT_EQ(engine.WindowOf(L"Crash"), window);
    programs[2].caption = L"Crash Other";
    EXPECT_EQ(engine.RestartProgram(L"Crash"), WatchEngine::RestartAnswer::NotRunning);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
}

}  // namespace
}  // namespace vigilon
