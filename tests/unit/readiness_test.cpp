#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "fakes/engine_scene.h"

namespace vigilon {
namespace {

class ReadinessTest : public ::testing::Test, protected testing::EngineScene {
protected:
    ReadinessTest() {
        for (wchar_t const* name : {L"Kiosk", L"Player"}) {
            fake.files.AddFile(std::wstring(L"C:\\") + name + L".exe");
            AddProgram(name, name, std::wstring(L"C:\\") + name + L".exe");
        }
        engine.SetNoticeMode(NoticeMode::Tray);
        // A started program shows its window at once.
        fake.shell.onLaunch = [this](testing::FakeShell::Launch const& launch) {
            std::wstring const name = launch.file.substr(4, launch.file.size() - 9);
            windows[name] = fake.desktop.Add(name + L" - up", true, true);
        };
    }
    WatchedProgram& Player() { return programs[2]; }
    // Passes one second apart, as the timer runs them; each question out is answered as `answering`.
    void Passes(int count, bool answering = true) {
        for (int i = 0; i < count; ++i) {
            engine.WatchPrograms();
            for (; answered_ < fake.processes.questions.size(); ++answered_) {
                engine.WindowAnswered(fake.processes.questions[answered_], answering);
            }
            fake.events.now += 1000;
            fake.events.ProcessPendingEvents();
        }
    }
    int Starts(std::wstring const& name) const {
        return static_cast<int>(std::count_if(fake.shell.launches.begin(), fake.shell.launches.end(),
                                               [&](auto const& l) { return l.file == L"\"C:\\" + name + L".exe\""; }));
    }
    std::wstring PlayerState() { return StatusCells(engine.Status()[1])[1]; }
    // The history's details for `program`'s lines of `word`.
    std::vector<std::wstring> Said(std::wstring const& program, std::wstring const& word) const {
        std::vector<std::wstring> said;
        std::istringstream lines(fake.files.texts.at(std::wstring(kFolder) + L"vigilon.log"));
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> f;
            std::istringstream split(line);
            for (std::string field; std::getline(split, field, '\t');) f.push_back(field);
            if (f.size() >= 4 && std::wstring(f[2].begin(), f[2].end()) == program && std::wstring(f[1].begin(), f[1].end()) == word) {
                said.emplace_back(f[3].begin(), f[3].end() - (f[3].ends_with('\r') ? 1 : 0));
            }
        }
        return said;
    }
    std::map<std::wstring, WindowHandle> windows;

private:
    std::size_t answered_ = 0;
};

TEST_F(ReadinessTest, AStartDelayHoldsOnlyTheFirstStartAndAProgramThatEndsLaterIsStartedAtOnce) {
    Player().rules.startDelay = L"5";
    Passes(1);
    EXPECT_EQ(Starts(L"Kiosk"), 1);
    EXPECT_EQ(PlayerState(), L"Waiting until 03:04:10");  // the fake's clock starts at 03:04:05.5
    Passes(3);
    EXPECT_EQ(Starts(L"Player"), 0);
    Passes(2);
    EXPECT_EQ(Starts(L"Player"), 1);
    EXPECT_EQ(Said(L"Player", L"waiting"), std::vector<std::wstring>{L"until 03:04:10"});
    EXPECT_EQ(Said(L"Player", L"ready"), std::vector<std::wstring>{L"after 5.0 s"});

    Passes(2);
    fake.desktop.Remove(windows[L"Player"]);
    Passes(2);
    EXPECT_EQ(Starts(L"Player"), 2);
}

TEST_F(ReadinessTest, AStartAskedForByNameDoesNotWait) {
    Player().rules.startDelay = L"600";
    Passes(1);
    EXPECT_EQ(engine.StartProgram(L"player").answer, StartAnswer::Starting);
    Passes(1);
    EXPECT_EQ(Starts(L"Player"), 1);
    EXPECT_EQ(Said(L"Player", L"ready"), std::vector<std::wstring>{L"a start was asked for"});
}

TEST_F(ReadinessTest, StartAfterWaitsUntilTheOtherWindowAnswersAndAskItItselfWithTheHangCheckOff) {
    Player().rules.startAfter = L" kiosk ";
    Passes(3, false);  // Kiosk's window is there, but does not answer
    EXPECT_EQ(Starts(L"Player"), 0);
    EXPECT_FALSE(fake.processes.questions.empty());
    EXPECT_EQ(PlayerState(), L"Waiting for Kiosk");
    Passes(3, true);
    EXPECT_EQ(Starts(L"Player"), 1);
    ASSERT_EQ(Said(L"Player", L"ready").size(), 1u);
    EXPECT_TRUE(Said(L"Player", L"ready")[0].starts_with(L"Kiosk answers, after ")) << Said(L"Player", L"ready")[0];
}

TEST_F(ReadinessTest, WaitForIsCheckedOffThePassEveryTwoSecondsAndAfterWaitSecondsTheStartGoesAhead) {
    Player().rules.waitFor = L"\\\\server\\share";
    Player().rules.waitSeconds = L"20";
    Passes(10);
    EXPECT_EQ(Starts(L"Player"), 0);
    EXPECT_EQ(PlayerState(), L"Waiting for \\\\server\\share");
    EXPECT_LE(fake.readiness.checks.size(), 5u);
    EXPECT_GE(fake.readiness.checks.size(), 4u);
    fake.readiness.there.insert(L"\\\\server\\share");
    Passes(3);
    EXPECT_EQ(Starts(L"Player"), 1);
    EXPECT_TRUE(Said(L"Player", L"ready")[0].starts_with(L"\\\\server\\share is there, after "));

    // A server whose check never ends (a share that does not answer) holds the start 20 s at most.
    Player().rules.waitFor = L"db:1433";
    fake.readiness.stalled = true;
    engine.PauseLaunching();
    fake.desktop.Remove(windows[L"Player"]);
    Passes(1);
    engine.ResumeLaunching();
    Passes(19);
    EXPECT_EQ(Starts(L"Player"), 1);
    EXPECT_EQ(fake.readiness.checks.back(), L"db:1433");
    Passes(2);
    EXPECT_EQ(Starts(L"Player"), 2);
    EXPECT_EQ(Said(L"Player", L"ready").back(), L"started anyway: still waiting for db:1433 after 20 s");
    EXPECT_EQ(fake.readiness.Outstanding(), 0u);
}

TEST_F(ReadinessTest, AnUnknownNameALoopOfNamesAndABadValueAreSaidOnceAndIgnored) {
    AddProgram(L"Ticker", L"Ticker", L"C:\\Kiosk.exe");
    programs[1].rules.startAfter = L"Ticker";
    programs[3].rules.startAfter = L"KIOSK";
    Player().rules.startAfter = L"Nobody";
    Player().rules.waitFor = L"share";
    Passes(4);
    EXPECT_EQ(Starts(L"Kiosk"), 2);  // Kiosk and Ticker share the executable
    EXPECT_EQ(Starts(L"Player"), 1);
    EXPECT_EQ(Said(L"Kiosk", L"ignored"), std::vector<std::wstring>{L"StartAfter=Ticker: a loop of names, Kiosk, Ticker, Kiosk"});
    EXPECT_EQ(Said(L"Player", L"ignored"),
              (std::vector<std::wstring>{L"WaitFor=share: not a full path (C:\\data, \\\\server\\share) or host:port",
                                         L"StartAfter=Nobody: no program of that name"}));
    EXPECT_TRUE(Said(L"Player", L"waiting").empty());
}

TEST_F(ReadinessTest, APauseCancelsAWaitAndLaunchProgramsBeginsItAgainButARunningProgramNeedsNone) {
    Player().rules.startDelay = L"10";
    programs[1].rules.startDelay = L"10";
    fake.desktop.Add(L"Kiosk - running", true, true);  // running before Vigilon
    Passes(3);
    engine.PauseLaunching();
    Passes(1);
    EXPECT_EQ(Said(L"Player", L"cancelled"), std::vector<std::wstring>{L"launching paused"});
    fake.events.now += 60'000;
    engine.ResumeLaunching();
    Passes(9);
    EXPECT_EQ(Starts(L"Player"), 0);  // ten seconds from Launch Programs
    Passes(2);
    EXPECT_EQ(Starts(L"Player"), 1);
    EXPECT_EQ(Starts(L"Kiosk"), 0);
    EXPECT_TRUE(Said(L"Kiosk", L"waiting").empty());

    // A program deleted while it waits leaves no check behind.
    Passes(1);  // its window is found
    Player().rules.startDelay.clear();
    Player().rules.waitFor = L"C:\\data";
    engine.PauseLaunching();
    engine.ResumeLaunching();
    fake.desktop.Remove(windows[L"Player"]);
    Passes(1);
    EXPECT_EQ(fake.readiness.Outstanding(), 1u);
    programs.Delete(2);
    Passes(1);
    EXPECT_EQ(fake.readiness.Outstanding(), 0u);
}

}  // namespace
}  // namespace vigilon
