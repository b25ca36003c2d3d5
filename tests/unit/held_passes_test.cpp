#include <gtest/gtest.h>

#include <functional>

#include "fakes/engine_scene.h"
#include "fakes/engine_target.h"
#include "ui/remote_answers.h"

namespace vigilon {
namespace {

// In Box mode a pass waits while a notice waits for OK, and while a started program's window is
// awaited; the main window's commands timer still runs every second.
class HeldPassesTest : public ::testing::Test, protected testing::EngineScene {
protected:
    HeldPassesTest() {
        fake.files.AddFile(L"C:\\player.exe");
        AddProgram(L"Player", L"Player", L"C:\\player.exe");
        player = fake.desktop.Add(L"Player", true, false);
        fake.processes.images[fake.desktop.WindowProcessId(player)] = L"C:\\player.exe";
    }
    // A tick of the commands timer: the questions out are answered (not while Player hangs), and
    // the commands tended.
    void CommandsTimer() {
        for (; answered < fake.processes.questions.size(); ++answered) {
            engine.WindowAnswered(fake.processes.questions[answered], !hung);
        }
        engine.TendCommands();
    }
    // Seconds of the timers, with a pass each second.
    void Passes(int count) {
        for (int i = 0; i < count; ++i) {
            engine.WatchPrograms();
            fake.events.now += 1000;
            CommandsTimer();
        }
    }
    WindowHandle player = 0;
    bool hung = false;
    std::size_t answered = 0;
    testing::EngineTarget target{engine};
};

TEST_F(HeldPassesTest, WhileANoticeWaitsForOkEveryReportSaysThePassesAreHeld) {
    engine.SetHeartbeat(L"https://kuma.example.com/api/push/tok?status={status}&msg={msg}", 10);
    // Clock's file is missing: the first pass stops on it in a box, and Notes is not visited.
    AddProgram(L"Clock", L"Clock", L"C:\\clock.exe");
    fake.files.AddFile(L"C:\\notes.exe");
    AddProgram(L"Notes", L"Notes", L"C:\\notes.exe");
    RemoteAnswer status, start;
    fake.system.onMessage = [&] {
        for (int i = 0; i < 11; ++i) {  // the heartbeat's first period goes by under the box
            fake.events.now += 1000;
            CommandsTimer();
        }
        status = AnswerRemote({RemoteVerb::Status, L""}, target);
        start = AnswerRemote({RemoteVerb::Start, L"Notes"}, target);
    };
    engine.WatchPrograms();
    ASSERT_EQ(fake.system.messages.size(), 1u);
    EXPECT_EQ(status.code, kRemoteNotAllRunning);
    EXPECT_EQ(status.text.substr(0, status.text.find(L"\r\n")), L"Held: a notice waits for OK");
    ASSERT_EQ(fake.http.requests.size(), 1u);
    EXPECT_NE(fake.http.requests[0].url.find(L"status=down&msg=held%3A%20a%20notice%20waits%20for%20OK"),
              std::wstring::npos);
    // No pass would start it until the box is answered: refused, and not kept for later.
    EXPECT_EQ(start, (RemoteAnswer{kRemoteNotDone, L"A notice waits for OK: no pass runs until it is answered, and "
                                                   L"Notes is not started.\r\n"}));
}

TEST_F(HeldPassesTest, AHangThatBeginsWhileAPassIsHeldIsJudgedByItsLengthOnceThePassesResume) {
    engine.SetHangSeconds(5);
    Passes(3);  // Player has answered: past its start-up allowance
    // Clock is started and its window never comes: a minute's wait, then a box that says so.
    fake.files.AddFile(L"C:\\clock.exe");
    AddProgram(L"Clock", L"Clock", L"C:\\clock.exe");
    std::function<void()> timer = [&] {
        CommandsTimer();
        fake.events.After(1000, timer);
    };
    fake.events.After(1000, timer);
    fake.events.After(10'000, [&] { hung = true; });
    StatusSnapshot duringWait, duringBox;
    fake.events.After(20'000, [&] { duringWait = engine.Snapshot(); });
    fake.system.onMessage = [&] {
        for (int i = 0; i < 30; ++i) {
            fake.events.now += 1000;
            fake.events.ProcessPendingEvents();
        }
        duringBox = engine.Snapshot();
    };
    engine.WatchPrograms();
    EXPECT_EQ(duringWait.watching, WatchingState::HeldByStart);
    EXPECT_EQ(duringBox.watching, WatchingState::HeldByNotice);
    EXPECT_EQ(duringBox.programs[0].row.state, StatusState::NotResponding);
    EXPECT_TRUE(fake.desktop.postedCloses.empty()) << "nothing is closed while the passes are held";
    engine.WatchPrograms();
    EXPECT_EQ(fake.desktop.postedCloses, std::vector<WindowHandle>{player});
}

}  // namespace
}  // namespace vigilon
