#include <gtest/gtest.h>

#include "engine/exit_rule.h"
#include "fakes/engine_scene.h"
#include "ui/remote_answers.h"

namespace vigilon {
namespace {

using State = ProcessExit::State;

class Target final : public RemoteTarget {
public:
    explicit Target(WatchEngine& engine) : engine_(engine) {}
    std::vector<ProgramStatus> Status() override { return engine_.Status(); }
    void Pause() override { engine_.PauseLaunching(); }
    void Resume() override { engine_.LaunchPrograms(); }
    WatchEngine::RestartAnswer Restart(std::wstring const& name) override { return engine_.RestartProgram(name); }
    StartAnswer Start(std::wstring const& name) override { return engine_.StartProgram(name); }
    void Close() override { engine_.ClosePrograms(); }
    void Exit() override {}

private:
    WatchEngine& engine_;
};

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
    void Passes(int count) {
        for (int i = 0; i < count; ++i) {
            engine.WatchPrograms();
            fake.events.now += 1000;
            fake.events.ProcessPendingEvents();
        }
    }
    // The window goes, and its process stands as `exit` says.
    void Ends(ProcessExit exit) {
        Exits(exit);
        fake.desktop.Remove(window);
        Passes(1);
    }
    void Exits(ProcessExit exit) { fake.processes.exits[fake.desktop.WindowProcessId(window)] = exit; }
    bool Logged(std::string const& text) const {
        return fake.files.texts.at(std::wstring(kFolder) + L"vigilon.log").find(text) != std::string::npos;
    }
    std::wstring LastLine() const {
        std::string const& text = fake.files.texts.at(std::wstring(kFolder) + L"vigilon.log");
        std::size_t const end = text.find_last_not_of("\r\n");
        std::size_t const start = text.rfind('\n', end);
        std::string const line = text.substr(start == std::string::npos ? 0 : start + 1, end - start);
        std::string const tail = line.substr(line.find('\t') + 1);  // without the time
        return {tail.begin(), tail.end()};
    }
    StatusState StateNow() { return engine.Status()[0].state; }
    std::size_t Starts() const { return fake.shell.launches.size(); }
    WindowHandle window = 0;
};

TEST(ExitRule, CodesAreWrittenSoACrashStandsOut) {
    EXPECT_EQ(ExitCodeText(0), L"exit code 0");
    EXPECT_EQ(ExitCodeText(3), L"exit code 3");
    EXPECT_EQ(ExitCodeText(0xC0000005u), L"exit code 0xC0000005 (crash)");
    EXPECT_EQ(ExitCodeText(0x80000003u), L"exit code 0x80000003");  // a high code, not an exception
    // Only Failure with an end of the program's own can leave it closed or wait for its process.
    ProcessExit const well{State::Ended, 0}, crashed{State::Ended, 0xC0000005u}, running{State::Running, 0};
    EXPECT_EQ(JudgeEnd(RestartWhen::Always, false, well), AfterEnd::StartAgain);
    EXPECT_EQ(JudgeEnd(RestartWhen::Failure, false, well), AfterEnd::LeaveClosed);
    EXPECT_EQ(JudgeEnd(RestartWhen::Failure, true, well), AfterEnd::StartAgain);
    EXPECT_EQ(JudgeEnd(RestartWhen::Failure, false, crashed), AfterEnd::StartAgain);
    EXPECT_EQ(JudgeEnd(RestartWhen::Failure, false, running), AfterEnd::AwaitProcess);
    EXPECT_EQ(JudgeEnd(RestartWhen::Failure, false, {}), AfterEnd::StartAgain);
}

TEST_F(RestartFailureTest, AnExitWithZeroIsLeftClosedUntilLaunchProgramsOrStart) {
    Passes(2);
    ASSERT_EQ(Starts(), 1u);
    Ends({State::Ended, 0});
    EXPECT_EQ(LastLine(), L"exited\tKiosk\texit code 0");
    Passes(5);
    EXPECT_EQ(Starts(), 1u);
    EXPECT_EQ(StateNow(), StatusState::Closed);
    EXPECT_TRUE(fake.commands.commands.empty());  // a user's own close is no trouble

    // Closing the editor resumes watching, but leaves it closed; Launch Programs starts it.
    engine.ResumeLaunching();
    Passes(1);
    EXPECT_EQ(Starts(), 1u);
    engine.LaunchPrograms();
    Passes(2);
    EXPECT_EQ(Starts(), 2u);

    // /start does too, at once, also while back-off would hold it.
    engine.SetBackoff(true);
    Ends({State::Ended, 0});
    Target target{engine};
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L"kiosk"}, target).code, kRemoteDone);
    Passes(2);
    EXPECT_EQ(Starts(), 3u);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L"Kiosk"}, target).text, L"Kiosk is running already.\r\n");

    // Back to Always: nothing keeps it closed.
    Ends({State::Ended, 0});
    programs[1].rules.restart.clear();
    Passes(1);
    EXPECT_EQ(Starts(), 4u);
}

TEST_F(RestartFailureTest, ACrashOrAnEndVigilonAskedForOrAnUnknownCodeStartsItAgain) {
    Passes(2);
    Ends({State::Ended, 0xC0000005u});
    EXPECT_EQ(Starts(), 2u);
    EXPECT_TRUE(Logged("gone\tKiosk\texit code 0xC0000005 (crash)"));

    // /restart closes it; it exits with 0 as asked, and comes back.
    Passes(1);
    ASSERT_EQ(engine.RestartProgram(L"Kiosk"), WatchEngine::RestartAnswer::Restarting);
    Ends({State::Ended, 0});
    EXPECT_EQ(Starts(), 3u);

    // A code that cannot be read is taken for a failure, and the history says so.
    Passes(1);
    fake.desktop.Remove(window);
    Passes(1);
    EXPECT_EQ(Starts(), 4u);
    EXPECT_TRUE(Logged("exit code unknown: started again"));
}

TEST_F(RestartFailureTest, AWindowGoneWhileItsProcessRunsIsLeftAloneUntilTheProcessEnds) {
    Passes(2);
    std::uint32_t const process = fake.desktop.WindowProcessId(window);
    Ends({State::Running, 0});
    EXPECT_EQ(LastLine(), L"gone\tKiosk\tprocess " + std::to_wstring(process) + L" still runs: left alone until it ends");
    Passes(3);
    EXPECT_EQ(Starts(), 1u);
    EXPECT_EQ(engine.Status()[0].processId, process);
    // Still watched: its end wakes a pass, which finds it crashed and starts it again.
    EXPECT_NE(std::find(fake.processes.watched.begin(), fake.processes.watched.end(), process), fake.processes.watched.end());
    fake.processes.exits[process] = {State::Ended, 3};
    Passes(1);
    EXPECT_EQ(Starts(), 2u);
    EXPECT_TRUE(Logged("exited\tKiosk\texit code 3: started again"));

    // One that later ends well stays closed.
    Passes(1);
    std::uint32_t const second = fake.desktop.WindowProcessId(window);
    Ends({State::Running, 0});
    fake.processes.exits[second] = {State::Ended, 0};
    Passes(3);
    EXPECT_EQ(Starts(), 2u);
    EXPECT_EQ(StateNow(), StatusState::Closed);
}

TEST_F(RestartFailureTest, EveryGoneLineTellsTheExitCodeAlsoUnderAlways) {
    programs[1].rules.restart.clear();
    Passes(2);
    Ends({State::Ended, 0xC0000005u});
    EXPECT_TRUE(Logged("gone\tKiosk\texit code 0xC0000005 (crash)"));
    Passes(1);
    Exits({State::Ended, 0});
    engine.ClosePrograms();
    Passes(1);
    EXPECT_TRUE(Logged("gone\tKiosk\tclosed as asked, exit code 0"));
}

TEST_F(RestartFailureTest, StartIsRefusedWithAReasonScriptsCanTellApart) {
    Target target{engine};
    AddProgram(L"Blank", L"", L"");
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L""}, target).code, kRemoteUnknown);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L"Nobody"}, target).code, kRemoteUnknown);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Start, L"Blank"}, target).code, kRemoteNotDone);
    engine.PauseLaunching();
    EXPECT_EQ(engine.StartProgram(L"Kiosk"), StartAnswer::LaunchPaused);
    engine.ResumeLaunching();
    host.watching = false;
    EXPECT_EQ(engine.StartProgram(L"Kiosk"), StartAnswer::EditorOpen);
    Passes(1);
    EXPECT_TRUE(fake.shell.launches.empty());
}

}  // namespace
}  // namespace vigilon
