#include <gtest/gtest.h>

#include "fakes/engine_scene.h"
#include "fakes/engine_target.h"
#include "ui/remote_answers.h"

namespace vigilon {
namespace {

class StatusTest : public ::testing::Test, protected testing::EngineScene {
protected:
    StatusTest() {
        engine.SetNoticeMode(NoticeMode::Tray);
        engine.SetBackoff(true);
        fake.files.AddFile(L"C:\\run.exe");
        fake.files.AddFile(L"C:\\crash.exe");
        AddProgram(L"Runner", L"Runner", L"C:\\run.exe");
        AddProgram(L"Crash", L"Crash", L"C:\\crash.exe");
        AddProgram(L"Blank", L"", L"");
        // Runner opens its window when started; Crash's window goes a moment after each start.
        fake.shell.onLaunch = [this](auto const& launch) {
            if (launch.file == L"\"C:\\run.exe\"") {
                runner = fake.desktop.Add(L"Runner - up", true, true);
                fake.processes.images[fake.desktop.WindowProcessId(runner)] = L"C:\\run.exe";
            }
            if (launch.file != L"\"C:\\crash.exe\"") return;
            WindowHandle const window = fake.desktop.Add(L"Crash - up", true, true);
            fake.events.After(1500, [this, window] { fake.desktop.Remove(window); });
        };
    }
    std::vector<StatusState> States() {
        std::vector<StatusState> states;
        for (ProgramStatus const& row : engine.Status()) states.push_back(row.state);
        return states;
    }
    WindowHandle runner = 0;
};

TEST_F(StatusTest, EachProgramsStateIsShownAsItChanges) {
    using enum StatusState;
    EXPECT_EQ(States(), (std::vector{Starting, Starting, NoCaption}));
    Passes(3);
    std::vector<ProgramStatus> rows = engine.Status();
    EXPECT_EQ(rows[0].state, Running);
    EXPECT_EQ(rows[0].processId, fake.desktop.WindowProcessId(runner));
    EXPECT_EQ(rows[0].upSince, L"03:04:06");
    EXPECT_EQ(rows[0].starts, 1);
    EXPECT_EQ(rows[0].lastEvent, L"03:04:06 hidden");
    // Crash ended within a minute of its start: waiting, with the time of its next start.
    EXPECT_EQ(rows[1].state, Waiting);
    EXPECT_EQ(StatusCells(rows[1])[1], L"Waiting until 03:04:09");

    engine.RestartProgram(L"runner");  // case ignored, as the settings file ignores it
    EXPECT_EQ(States()[0], Restarting);
    fake.desktop.Remove(runner);
    engine.PauseLaunching();
    Passes(1);
    EXPECT_EQ(States(), (std::vector{Paused, Paused, NoCaption}));
    EXPECT_FALSE(AllRunning(engine.Status()));

    programs[1].exe = L"C:\\gone.exe";
    engine.ResumeLaunching();
    Passes(1);
    EXPECT_EQ(States()[0], MissingFile);
}

// The Status window asks for its rows twice a second: while the passes run on time, that asks
// the desktop nothing; while they lag behind, a window gone since the last pass is not Running.
TEST_F(StatusTest, TheStatusWindowAsksTheDesktopOnlyWhileThePassesLagBehind) {
    Passes(3);
    fake.desktop.Remove(runner);
    int const questions = fake.desktop.processQueries;
    EXPECT_EQ(engine.StatusOnScreen()[0].state, StatusState::Running);
    EXPECT_EQ(fake.desktop.processQueries, questions);
    fake.events.now += 1000;  // no pass for two seconds now: held by a box, say
    EXPECT_EQ(engine.StatusOnScreen()[0].state, StatusState::Starting);
}

using Target = testing::EngineTarget;

TEST_F(StatusTest, ScriptsGetATableAndExitCodesThatMeanSomething) {
    Target target(engine);
    programs.Delete(2);  // Runner and Blank
    Passes(2);
    RemoteAnswer const status = AnswerRemote({RemoteVerb::Status, L""}, target);
    EXPECT_EQ(status.code, kRemoteDone);  // Blank has no caption: it does not count
    EXPECT_EQ(status.text.substr(0, status.text.find(L"\r\n")), L"Program\tState\tProcess\tUp since\tStarts\tLast event");
    EXPECT_NE(status.text.find(L"\r\nRunner\tRunning\t"), std::wstring::npos);
    EXPECT_NE(status.text.find(L"\r\nBlank\tNo caption\t\t\t0\t\r\n"), std::wstring::npos);

    EXPECT_EQ(AnswerRemote({RemoteVerb::Pause, L""}, target).code, kRemoteDone);
    EXPECT_TRUE(engine.LaunchPaused());
    // Paused, a program would not be started again: it is not restarted.
    EXPECT_EQ(AnswerRemote({RemoteVerb::Restart, L"Runner"}, target).code, kRemoteNotDone);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    fake.desktop.Remove(runner);
    Passes(1);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Status, L""}, target).code, kRemoteNotAllRunning);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Resume, L""}, target).code, kRemoteDone);
    EXPECT_FALSE(engine.LaunchPaused());

    // A window of the caption that another program owns is not restarted, and the script is told.
    WindowHandle const stranger = fake.desktop.Add(L"Runner - not ours", true, false);
    Passes(1);
    ASSERT_EQ(engine.WindowOf(programs[1].name), stranger);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Restart, L"Runner"}, target).code, kRemoteNotDone);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());

    // In Box mode too the refusal goes into the answer, never into a message box that would
    // hold the answer up.
    engine.SetNoticeMode(NoticeMode::Box);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Restart, L"Runner"}, target).code, kRemoteNotDone);
    EXPECT_TRUE(fake.system.messages.empty());
    engine.SetNoticeMode(NoticeMode::Tray);

    EXPECT_EQ(AnswerRemote({RemoteVerb::Restart, L"Nobody"}, target),
              (RemoteAnswer{kRemoteUnknown, L"No program named \"Nobody\" is watched.\r\n"}));
    EXPECT_EQ(AnswerRemote({RemoteVerb::Restart, L""}, target).code, kRemoteUnknown);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Exit, L""}, target).code, kRemoteDone);
    EXPECT_TRUE(target.exited);
}

// Paused, nothing that goes is started again: however the rows read, /status is not OK and says
// why above them, and a row that would be started says so.
TEST_F(StatusTest, WhileLaunchingIsPausedStatusIsNotOkAndSaysWhy) {
    Target target(engine);
    programs.Delete(2);  // Runner and Blank
    Passes(2);
    ASSERT_EQ(AnswerRemote({RemoteVerb::Status, L""}, target).code, kRemoteDone);
    engine.PauseLaunching();
    RemoteAnswer const paused = AnswerRemote({RemoteVerb::Status, L""}, target);
    EXPECT_EQ(paused.code, kRemoteNotAllRunning);
    EXPECT_EQ(paused.text.substr(0, paused.text.find(L"\r\n")), L"Launching paused");
    EXPECT_NE(paused.text.find(L"\r\nRunner\tRunning\t"), std::wstring::npos) << paused.text;  // nothing to start
    EXPECT_EQ(AnswerRemote({RemoteVerb::StatusJson, L""}, target).code, kRemoteNotAllRunning);
    fake.desktop.Remove(runner);
    Passes(1);
    EXPECT_EQ(StatusCells(engine.Status()[0])[1], L"Not running (launching paused)");

    // A missing file stops launching in Box mode: that row says both.
    engine.SetNoticeMode(NoticeMode::Box);
    programs[1].exe = L"C:\\gone.exe";
    engine.ResumeLaunching();
    Passes(1);
    EXPECT_EQ(StatusCells(engine.Status()[0])[1], L"Missing file (launching paused)");
}

// With the editor open no pass runs, and what was last seen may be long gone; a window left alone
// while hung is not running as it should. Neither is all well.
TEST_F(StatusTest, StoppedWatchingAndAHungWindowLeftAloneAreNotAllRunning) {
    Target target(engine);
    programs.Delete(2);  // Runner and Blank
    Passes(3);
    ASSERT_EQ(AnswerRemote({RemoteVerb::Status, L""}, target).code, kRemoteDone);
    host.watching = false;
    RemoteAnswer const stopped = AnswerRemote({RemoteVerb::Status, L""}, target);
    EXPECT_EQ(stopped.code, kRemoteNotAllRunning);
    EXPECT_NE(stopped.text.find(L"\r\nRunner\tNot watched (editor open)\t\t"), std::wstring::npos) << stopped.text;
    host.watching = true;

    // Another program's window with Runner's caption, hung: left alone, and not responding.
    engine.SetHangSeconds(5);
    fake.desktop.Remove(runner);
    fake.shell.onLaunch = nullptr;
    WindowHandle const stranger = fake.desktop.Add(L"Runner - not ours", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(stranger)] = L"C:\\other.exe";
    Passes(70);  // questions go unanswered: the fake reports no answer
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    EXPECT_EQ(States()[0], StatusState::NotResponding);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Status, L""}, target).code, kRemoteNotAllRunning);
    // It answers again: running.
    engine.WindowAnswered(stranger, true);
    EXPECT_EQ(States()[0], StatusState::Running);
}

}  // namespace
}  // namespace vigilon
