#include <gtest/gtest.h>

#include "engine/rules/exit_rule.h"
#include "fakes/engine_scene.h"
#include "fakes/engine_target.h"

namespace vigilon {
namespace {

using State = ProcessExit::State;

// A kiosk program under Restart=Failure whose window opens at each start, in a process of its own.
class RestartFailureTest : public ::testing::Test, protected testing::EngineScene {
protected:
    RestartFailureTest() {
        engine.SetNoticeMode(NoticeMode::Tray);
        fake.files.AddFile(L"C:\\kiosk.exe");
        AddProgram(L"Kiosk", L"Kiosk", L"C:\\kiosk.exe").rules.restart = L"Failure";
        fake.shell.onLaunch = [this](auto const&) {
            window = fake.desktop.Add(L"Kiosk - up", true, false);
            fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\kiosk.exe";
        };
    }
    // The window goes, its process as `exit` says, and a pass sees it; then one finds the next window.
    void Ends(ProcessExit exit) {
        fake.processes.exits[fake.desktop.WindowProcessId(window)] = exit;
        fake.desktop.Remove(window);
        Passes(2);
    }
    bool Logged(std::string const& line) const {
        return fake.files.texts.at(std::wstring(kFolder) + L"vigilon.log").find(line + "\r\n") != std::string::npos;
    }
    std::size_t Starts() const { return fake.shell.launches.size(); }
    WindowHandle window = 0;
    std::size_t answered_ = 0;
    testing::EngineTarget target{engine};
};

TEST(ExitRule, CodesAreWrittenSoACrashStandsOut) {
    EXPECT_EQ(ExitCodeText(3), L"exit code 3");
    EXPECT_EQ(ExitCodeText(0xC0000005u), L"exit code 0xC0000005 (crash)");
    EXPECT_EQ(ExitCodeText(0x80000003u), L"exit code 0x80000003");  // high, but not an exception code
    EXPECT_EQ(ExitCodeText(0xC000013Au), L"exit code 0xC000013A (console closed)");
    // A console window closed by its user is the user's own end, as 0 is.
    EXPECT_EQ(JudgeEnd(RestartWhen::Failure, false, {State::Ended, 0xC000013Au}), AfterEnd::LeaveClosed);
}

TEST_F(RestartFailureTest, AnExitWithZeroIsLeftClosedUntilLaunchProgramsOrStart) {
    Passes(2);
    Ends({State::Ended, 0});
    EXPECT_TRUE(Logged("exited\tKiosk\texit code 0"));
    EXPECT_EQ(engine.Status()[0].state, StatusState::Closed);
    engine.ResumeLaunching();  // the editor closed: watching resumes, and it stays closed
    Passes(3);
    EXPECT_EQ(Starts(), 1u);
    EXPECT_TRUE(fake.commands.commands.empty());  // a user's own close is no trouble

    engine.LaunchPrograms();
    Passes(2);
    EXPECT_EQ(Starts(), 2u);
    engine.SetBackoff(true);  // a quick end: back-off would hold a start, /start does not wait
    Ends({State::Ended, 0});
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L"kiosk"}, target).code, kRemoteDone);
    Passes(2);
    EXPECT_EQ(Starts(), 3u);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L"Kiosk"}, target).text, L"Kiosk is running already.\r\n");
}

TEST_F(RestartFailureTest, ACrashAnEndVigilonAskedForOrAnUnknownCodeStartsItAgain) {
    Passes(2);
    Ends({State::Ended, 0xC0000005u});
    EXPECT_TRUE(Logged("gone\tKiosk\texit code 0xC0000005 (crash)"));
    ASSERT_EQ(engine.RestartProgram(L"Kiosk"), WatchEngine::RestartAnswer::Restarting);
    Ends({State::Ended, 0});  // closed as asked
    fake.desktop.Remove(window);  // no code known
    Passes(2);
    EXPECT_EQ(Starts(), 4u);
    EXPECT_TRUE(Logged("gone\tKiosk\texit code unknown: started again, as after a failure"));
}

TEST_F(RestartFailureTest, AWindowSparedByARestartThatEndsSoonAfterWithZeroIsStartedAgainOneThatRunsOnIsLeftClosed) {
    Passes(2);
    ASSERT_EQ(engine.RestartProgram(L"Kiosk"), WatchEngine::RestartAnswer::Restarting);
    // It asks its user to save and goes on answering: spared, not ended.
    for (int i = 0; i < 15; ++i) {
        Passes(1);
        for (; answered_ < fake.processes.questions.size(); ++answered_) engine.WindowAnswered(fake.processes.questions[answered_], true);
    }
    ASSERT_TRUE(Logged("spared\tKiosk\tit answers: not ended"));
    Ends({State::Ended, 0});  // the user answered, and it closed
    EXPECT_EQ(Starts(), 2u);

    // Spared again, it runs on past the time to close: its own exit with 0, later, is a normal one.
    ASSERT_EQ(engine.RestartProgram(L"Kiosk"), WatchEngine::RestartAnswer::Restarting);
    for (int i = 0; i < 30; ++i) {
        Passes(1);
        for (; answered_ < fake.processes.questions.size(); ++answered_) engine.WindowAnswered(fake.processes.questions[answered_], true);
    }
    Ends({State::Ended, 0});
    EXPECT_EQ(Starts(), 2u);
    EXPECT_EQ(engine.Status()[0].state, StatusState::Closed);
}

TEST_F(RestartFailureTest, AnExitIsJudgedByTheRuleAsItIsNowNotAsTheLastPassReadIt) {
    programs[1].rules.restart.clear();
    Passes(2);
    programs[1].rules.restart = L"Failure";  // set in the editor, the program then closed by its user
    Ends({State::Ended, 0});
    EXPECT_EQ(Starts(), 1u);
}

TEST_F(RestartFailureTest, AWindowGoneWhileItsProcessRunsIsLeftAloneUntilTheProcessEnds) {
    Passes(2);
    std::uint32_t const process = fake.desktop.WindowProcessId(window);
    Ends({State::Running, 0});
    Passes(2);
    EXPECT_EQ(Starts(), 1u);
    EXPECT_TRUE(Logged("gone\tKiosk\tprocess " + std::to_string(process) + " still runs: left alone until it ends"));
    // Still watched, so its end wakes a pass, which starts a failed one again.
    EXPECT_EQ(fake.processes.watched, std::vector<std::uint32_t>{process});
    // Its row names the process left running, and no time for a window it no longer has.
    EXPECT_EQ(engine.Snapshot().programs[0].row.processId, process);
    EXPECT_FALSE(engine.Snapshot().programs[0].upSince.has_value());
    fake.processes.exits[process] = {State::Ended, 3};
    Passes(2);
    EXPECT_TRUE(Logged("exited\tKiosk\texit code 3: started again"));
    EXPECT_EQ(Starts(), 2u);
}

TEST_F(RestartFailureTest, GoneLinesTellTheCodeUnderAlwaysAndStartIsRefusedWithAReason) {
    programs[1].rules.restart.clear();
    Passes(2);
    fake.processes.exits[fake.desktop.WindowProcessId(window)] = {State::Ended, 0};
    engine.ClosePrograms();
    Passes(1);
    EXPECT_TRUE(Logged("gone\tKiosk\tclosed as asked, exit code 0"));
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L"Kiosk"}, target).code, kRemoteNotDone);  // paused
    AddProgram(L"Blank", L"", L"");
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L"Blank"}, target).code, kRemoteNotDone);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L"Nobody"}, target).code, kRemoteUnknown);
    engine.ResumeLaunching();
    host.watching = false;
    EXPECT_EQ(engine.StartProgram(L"Kiosk").answer, StartAnswer::EditorOpen);
}

// A start that would stop on a missing file is refused with the pass's own words, looked for where
// the pass looks; nothing is kept for later.
TEST_F(RestartFailureTest, AStartWhoseFileIsMissingIsRefusedWithTheFile) {
    Passes(2);
    fake.files.RemoveFile(L"C:\\kiosk.exe");
    Ends({State::Ended, 0});  // left closed: a start must be asked for
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L"kiosk"}, target),
              (RemoteAnswer{kRemoteNotDone, L"kiosk is not started: Executable: C:\\kiosk.exe is not a valid file.\r\n"}));
    AddProgram(L"Archive", L"Quorvault V3.2 - ", L"C:\\Java\\bin").command = L"D:\\Q";
    EXPECT_EQ(engine.StartProgram(L"Archive"), (StartReply{StartAnswer::MissingFile,
                                                           L"Quorvault location: D:\\Q\\quorvault.jar is not a valid file."}));
    EXPECT_EQ(programs[2].command, L"D:\\Q");  // completed for the look only
    // A bare file name is looked for in Vigilon's folder, as the pass does.
    fake.files.AddFile(std::wstring(kFolder) + L"kiosk.exe");
    programs[1].exe = L"kiosk.exe";
    EXPECT_EQ(engine.StartProgram(L"Kiosk").answer, StartAnswer::Starting);
    Passes(1);
    EXPECT_EQ(Starts(), 2u);
}

}  // namespace
}  // namespace vigilon
