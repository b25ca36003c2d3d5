#include <gtest/gtest.h>

#include <functional>

#include "app/restart_rules.h"
#include "fakes/engine_scene.h"

namespace vigilon {
namespace {

using State = ProcessExit::State;

TEST(WindowKey, OnlyNoneIsTakenAndAnythingElseIsRefusedWithAReason) {
    EXPECT_TRUE(ParseWindowless(L" none ").value.value_or(false));
    EXPECT_FALSE(ParseWindowless(L"").value.has_value());
    EXPECT_TRUE(ParseWindowless(L"").problem.empty());
    EXPECT_FALSE(ParseWindowless(L"Hidden").value.has_value());
    EXPECT_FALSE(ParseWindowless(L"Hidden").problem.empty());
    EXPECT_FALSE(Windowless({.window = L"0"}));
}

// A tray agent without a window, in Box mode (where a start waits for a window): found by its
// process, which runs in this session with the program's executable as its image.
class WindowlessTest : public ::testing::Test, protected testing::EngineScene {
protected:
    static constexpr wchar_t kExe[] = L"C:\\Agent\\agent.exe";

    WindowlessTest() {
        fake.files.AddFile(L"c:\\agent\\AGENT.EXE");  // the fake's paths keep their case
        fake.files.longPaths[L"c:\\agent\\AGENT.EXE"] = kExe;
        // Its caption left empty, as for a program that shows none; the path as the user typed it.
        WatchedProgram& record = AddProgram(L"Agent", L"", L"c:\\agent\\AGENT.EXE");
        record.rules.window = L"None";
        engine.SetHangSeconds(5);
        fake.shell.onLaunch = [this](auto const&) { Runs(fake.shell.processId); };
        fake.processes.onEnd = [this](std::uint32_t id) { Ends(id, 1); };
        NextStartIs(101);
    }
    // A process of the program's executable runs in this session.
    void Runs(std::uint32_t id) {
        fake.processes.running[id] = {kExe};
        fake.processes.startTimes[id] = id * 10;
    }
    void Ends(std::uint32_t id, std::uint32_t code) {
        fake.processes.running.erase(id);
        fake.processes.exits[id] = {State::Ended, code};
    }
    void NextStartIs(std::uint32_t id) {
        fake.shell.processId = id;
        fake.shell.processStarted = id * 10;
    }
    ProgramStatus Row() { return engine.Status()[0]; }
};

TEST_F(WindowlessTest, FoundByItsProcessStartedAsItIsAndStartedAgainOnceItsProcessEnds) {
    programs[1].rules.check = L"window:Error";  // needs a window: said, and not done
    std::int64_t const began = fake.events.now;
    Passes(1);
    ASSERT_EQ(fake.shell.launches.size(), 1u);
    EXPECT_EQ(fake.shell.launches[0].showCommand, kSwShowNormal);  // nothing to start minimised
    // No window was waited for: that wait takes a second a try, for up to 61 tries.
    EXPECT_LT(fake.events.now - began, 5000);
    Passes(1);
    EXPECT_EQ(Row().state, StatusState::Running);
    EXPECT_EQ(Row().processId, 101u);
    EXPECT_EQ(Details(L"Agent", L"found"), std::vector<std::wstring>{L"process 101, 1.0 s after its start"});
    ASSERT_EQ(Details(L"Agent", L"ignored").size(), 1u);
    EXPECT_NE(Details(L"Agent", L"ignored")[0].find(L"Check=window:Error"), std::wstring::npos);

    // While it runs, the pass asks the process watch only: the system's processes are not listed.
    int const listings = fake.processes.imageQueries;
    Passes(5);
    EXPECT_EQ(fake.processes.imageQueries, listings);
    // Nothing is asked of a window it does not have: it is never called hung, hidden or placed.
    EXPECT_TRUE(fake.processes.questions.empty());
    EXPECT_EQ(fake.desktop.requests, 0);
    EXPECT_EQ(Row().state, StatusState::Running);

    NextStartIs(102);
    Ends(101, 3);
    Passes(2);
    EXPECT_EQ(Details(L"Agent", L"gone"), std::vector<std::wstring>{L"exit code 3"});
    EXPECT_EQ(fake.shell.launches.size(), 2u);
    EXPECT_EQ(Row().processId, 102u);
}

TEST_F(WindowlessTest, AProcessThatEndsBeforeItIsFoundIsAQuickEndWithoutTheWaitForAWindow) {
    engine.SetBackoff(true);
    fake.shell.onLaunch = [this](auto const&) { Ends(fake.shell.processId, 1); };
    Passes(2);
    EXPECT_EQ(fake.shell.launches.size(), 1u);
    // Backing off (2 s) from the pass after its start, not waiting a minute for its process.
    EXPECT_EQ(Details(L"Agent", L"exited"), std::vector<std::wstring>{L"process 101 ended before it was found, exit code 1"});
    EXPECT_EQ(Events(L"Agent"), (std::vector<std::wstring>{L"launch", L"exited", L"backoff", L"message"}));
    EXPECT_EQ(Row().state, StatusState::Waiting);
    EXPECT_EQ(engine.Snapshot().programs[0].counts.Exits(ExitKind::Crash), 1u);
}

// With the default settings (no back-off) a launcher that ends at once must not pile up copies,
// one every other pass, unsaid: it is tried again a minute later, and said once.
TEST_F(WindowlessTest, AProcessThatEndsBeforeItIsFoundWithoutBackoffIsTriedAgainAMinuteLaterAndSaidOnce) {
    fake.shell.onLaunch = [this](auto const&) { Ends(fake.shell.processId, 1); };
    Passes(30);
    EXPECT_EQ(fake.shell.launches.size(), 1u);
    NextStartIs(102);
    Passes(40);  // the minute is up
    EXPECT_EQ(fake.shell.launches.size(), 2u);
    ASSERT_EQ(Details(L"Agent", L"message").size(), 1u);
    EXPECT_EQ(Details(L"Agent", L"message")[0],
              L"c:\\agent\\AGENT.EXE ended right after its start: EXE must name the file that keeps running");
    EXPECT_EQ(engine.Snapshot().programs[0].counts.Exits(ExitKind::Crash), 2u);
}

TEST_F(WindowlessTest, UnderRestartFailureAProcessThatEndsNormallyBeforeItIsFoundIsLeftClosed) {
    programs[1].rules.restart = L"Failure";
    fake.shell.onLaunch = [this](auto const&) { Ends(fake.shell.processId, 0); };
    Passes(120);
    EXPECT_EQ(fake.shell.launches.size(), 1u);
    EXPECT_EQ(Details(L"Agent", L"exited"), std::vector<std::wstring>{L"exit code 0"});
    EXPECT_TRUE(Details(L"Agent", L"message").empty());
    EXPECT_EQ(engine.Snapshot().programs[0].counts.Exits(ExitKind::Normal), 1u);
}

TEST_F(WindowlessTest, ARestartEndsItsOwnProcessOnceItsTimeToCloseIsUpAskingNothingOfAWindow) {
    Passes(2);
    ASSERT_EQ(engine.RestartProgram(L"Agent"), WatchEngine::RestartAnswer::Restarting);
    Passes(9);  // its time to close, 10 s, is not up
    EXPECT_TRUE(fake.processes.ended.empty());
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    NextStartIs(102);
    Passes(3);
    EXPECT_EQ(fake.processes.ended, std::vector<std::uint32_t>{101});
    EXPECT_EQ(Details(L"Agent", L"gone"), std::vector<std::wstring>{L"ended, exit code 1"});
    EXPECT_EQ(fake.shell.launches.size(), 2u);
    EXPECT_EQ(Row().state, StatusState::Running);
}

// The EXE written out long reads the disk (an offline share would freeze the UI): once per EXE
// text, however many passes look for the program, and again only when the EXE changes.
TEST_F(WindowlessTest, ItsExecutablesFullPathIsWorkedOutOncePerExeText) {
    fake.shell.onLaunch = [](auto const&) {};  // it never comes: every pass lists the processes
    Passes(30);
    EXPECT_GT(fake.processes.imageQueries, 10);
    EXPECT_EQ(fake.files.longPathCalls, 1);
    programs[1].exe = L"C:\\Agent\\agent2.exe";
    Passes(5);
    EXPECT_EQ(fake.files.longPathCalls, 2);
}

// A process held is looked at again once the program's keys say another is wanted: the window's
// process from before Window=None, or the old EXE's, is let go as a gone one is (nothing is ended),
// and the program is found, or started, as it is now.
TEST_F(WindowlessTest, AWindowsProcessIsLetGoWhenTheProgramBecomesWindowless) {
    programs[1].caption = L"Agent";
    programs[1].rules.window.clear();
    fake.processes.running[500] = {L"C:\\Host\\host.exe"};
    fake.desktop.Find(fake.desktop.Add(L"Agent"))->processId = 500;
    Passes(2);
    ASSERT_EQ(Row().processId, 500u);
    ASSERT_TRUE(fake.shell.launches.empty());
    programs[1].rules.window = L"None";
    Passes(3);
    EXPECT_EQ(Details(L"Agent", L"gone"), std::vector<std::wstring>{L"process 500 still runs"});
    EXPECT_EQ(fake.shell.launches.size(), 1u);
    EXPECT_EQ(Row().processId, 101u);
    EXPECT_TRUE(fake.processes.ended.empty());
}

TEST_F(WindowlessTest, TheOldExesProcessIsLetGoWhenTheExeChanges) {
    Runs(600);  // running when Vigilon came
    Passes(2);
    ASSERT_EQ(Row().processId, 600u);
    fake.files.AddFile(L"C:\\Agent\\agent2.exe");
    programs[1].exe = L"C:\\Agent\\agent2.exe";
    fake.shell.onLaunch = [this](auto const&) {
        fake.processes.running[fake.shell.processId] = {L"C:\\Agent\\agent2.exe"};
        fake.processes.startTimes[fake.shell.processId] = fake.shell.processStarted;
    };
    Passes(3);
    EXPECT_EQ(Details(L"Agent", L"gone"), std::vector<std::wstring>{L"process 600 still runs"});
    EXPECT_EQ(fake.shell.launches.size(), 1u);
    EXPECT_EQ(Row().processId, 101u);
    EXPECT_TRUE(fake.processes.ended.empty());
}

// Its process may still show a window (a console, a settings window) where work can be lost: it is
// asked to close as a window is, and the process is ended only once the time to close is up.
TEST_F(WindowlessTest, ARestartAsksTheWindowsItsProcessShowsToCloseBeforeItIsEnded) {
    Passes(2);
    WindowHandle const console = fake.desktop.Add(L"agent console");
    fake.desktop.Find(console)->processId = 101;
    WindowHandle const hidden = fake.desktop.Add(L"agent tray", false);
    fake.desktop.Find(hidden)->processId = 101;
    ASSERT_EQ(engine.RestartProgram(L"Agent"), WatchEngine::RestartAnswer::Restarting);
    Passes(1);
    EXPECT_EQ(fake.desktop.postedCloses, std::vector<WindowHandle>{console});
    Passes(8);  // its time to close, 10 s, is not up
    EXPECT_TRUE(fake.processes.ended.empty());
    NextStartIs(102);
    Passes(3);
    EXPECT_EQ(fake.processes.ended, std::vector<std::uint32_t>{101});
}

// A window of its process that another program holds, hidden or not, keeps it from being ended,
// and is not asked to close.
TEST_F(WindowlessTest, AProcessShowingAnotherProgramsWindowIsNeverEnded) {
    fake.files.AddFile(L"C:\\Agent\\settings.exe");
    AddProgram(L"Agent Settings", L"Agent Settings", L"C:\\Agent\\settings.exe");
    Passes(2);
    WindowHandle const window = fake.desktop.Add(L"Agent Settings", true, false);
    fake.desktop.Find(window)->processId = Row().processId;
    Passes(2);
    ASSERT_EQ(engine.WindowOf(L"Agent Settings"), window);
    engine.RestartProgram(L"Agent");
    Passes(15);  // past its time to close
    EXPECT_TRUE(fake.processes.ended.empty());
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
}

// Two programs on the same executable: one's fresh start, not found yet, is not the other's.
TEST_F(WindowlessTest, AnotherProgramsFreshStartIsNotTaken) {
    WatchedProgram& second = AddProgram(L"Agent2", L"", L"c:\\agent\\AGENT.EXE");
    second.rules.window = L"None";
    // Each start gets the next id: the shell reads it after this runs.
    fake.shell.onLaunch = [this, next = 101u](auto const&) mutable {
        NextStartIs(next);
        Runs(next++);
    };
    Passes(3);
    ASSERT_EQ(fake.shell.launches.size(), 2u);
    std::vector<ProgramStatus> const rows = engine.Status();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].processId, 101u);
    EXPECT_EQ(rows[1].processId, 102u);
    EXPECT_EQ(Details(L"Agent2", L"found"), std::vector<std::wstring>{L"process 102, 1.0 s after its start"});
}

// Close Programs asks windows to close; a program without one is left running, and the history
// says so rather than leaving it running silently.
TEST_F(WindowlessTest, CloseProgramsLeavesItRunningAndSaysSo) {
    Passes(2);
    engine.ClosePrograms();
    Passes(15);
    EXPECT_EQ(Details(L"Agent", L"close"), std::vector<std::wstring>{L"it has no window: left running"});
    EXPECT_TRUE(fake.processes.ended.empty());
    EXPECT_EQ(Row().processId, 101u);
}

// Two copies run: when the one held ends, its end is told and counted before the other is taken.
TEST_F(WindowlessTest, TheEndOfTheCopyHeldIsToldBeforeAnotherCopyIsTaken) {
    Runs(200);
    Runs(300);
    Passes(2);
    ASSERT_EQ(Row().processId, 200u);
    Ends(200, 5);
    Passes(2);
    EXPECT_EQ(Details(L"Agent", L"gone"), std::vector<std::wstring>{L"exit code 5"});
    EXPECT_EQ(Row().processId, 300u);
    EXPECT_EQ(engine.Snapshot().programs[0].counts.Exits(ExitKind::Crash), 1u);
    EXPECT_TRUE(fake.shell.launches.empty());
}

// Nothing that needs a window is offered: no picture is taken, and the status row says it has none
// (the Status window greys Show and Hide by it).
TEST_F(WindowlessTest, NoPictureIsTakenOfAProgramWithoutAWindow) {
    Passes(2);
    EXPECT_EQ(engine.AskScreenshot(L"Agent").kind, WatchEngine::AskedScreenshot::Kind::NoWindow);
    EXPECT_TRUE(Row().windowless);
}

// Vigilon may end a user's program: a process that is not its own start, whose image is not the
// program's, or that runs in another session, is never ended.
TEST_F(WindowlessTest, AProcessThatIsNotItsOwnIsNeverEnded) {
    // Running already when Vigilon came: not its start.
    Runs(200);
    programs[1].rules.maxMemoryMB = L"100";
    fake.processes.memory[200] = 500ull << 20;
    Passes(2);
    EXPECT_EQ(Details(L"Agent", L"found"), std::vector<std::wstring>{L"process 200, already running"});
    EXPECT_EQ(engine.RestartProgram(L"Agent"), WatchEngine::RestartAnswer::NotItsOwn);
    Passes(90);  // a minute over its memory limit, and the time to close after it
    EXPECT_TRUE(fake.processes.ended.empty());
    EXPECT_EQ(fake.shell.launches.size(), 0u);

    // Its own start, but by the time it would be ended its image, or its session, is not the
    // program's, or its id names a later process (the same id, another start time).
    programs[1].rules.maxMemoryMB.clear();
    std::uint32_t next = 300;
    std::vector<std::function<void(std::uint32_t)>> const changes = {
        [this](std::uint32_t id) { fake.processes.running[id].image = L"C:\\Other\\agent.exe"; },
        [this](std::uint32_t id) { fake.processes.running[id].session = 2; },
        [this](std::uint32_t id) { fake.processes.startTimes[id] += 1; },
    };
    for (auto const& change : changes) {
        NextStartIs(++next);
        Ends(Row().processId, 0);
        Passes(2);
        ASSERT_EQ(Row().processId, next);
        ASSERT_EQ(engine.RestartProgram(L"Agent"), WatchEngine::RestartAnswer::Restarting);
        change(next);
        Passes(12);
        EXPECT_TRUE(fake.processes.ended.empty());
    }
}

}  // namespace
}  // namespace vigilon
