#include <gtest/gtest.h>

#include "fakes/engine_scene.h"

namespace vigilon {
namespace {

class NoticeModeTest : public ::testing::Test, protected testing::EngineScene {
protected:
    NoticeModeTest() {
        fake.files.AddFile(L"C:\\slow.exe");
        fake.files.AddFile(L"C:\\quick.exe");
        AddProgram(L"Slow", L"Slow - ", L"C:\\slow.exe");
        AddProgram(L"Quick", L"Quick - ", L"C:\\quick.exe");
        // Slow never opens a window; Quick opens one, minimised, as soon as it is started.
        fake.shell.onLaunch = [this](auto const& launch) {
            if (launch.file == L"\"C:\\quick.exe\"") fake.desktop.Add(L"Quick - up", true, true);
        };
    }
    // Passes one second apart, as the timer runs them.
    void Passes(int count) {
        for (int i = 0; i < count; ++i) {
            engine.WatchPrograms();
            fake.events.now += 1000;
        }
    }
    int Launches(std::wstring const& exe) const {
        int n = 0;
        for (auto const& launch : fake.shell.launches) n += launch.file == L"\"" + exe + L"\"";
        return n;
    }
};

TEST_F(NoticeModeTest, InTrayModeAnAwaitedProgramHoldsUpNoOtherAndItsNoticeWaitsForNobody) {
    engine.SetNoticeMode(NoticeMode::Tray);
    Passes(3);
    ASSERT_EQ(Launches(L"C:\\slow.exe"), 1);
    ASSERT_EQ(Launches(L"C:\\quick.exe"), 1);
    WindowHandle const quick = engine.WindowOf(programs[2].name);
    EXPECT_FALSE(fake.desktop.IsVisible(quick));  // hidden while Slow is awaited

    // Quick exits and is started again at the next pass, Slow still awaited.
    fake.desktop.Remove(quick);
    Passes(1);
    EXPECT_EQ(Launches(L"C:\\quick.exe"), 2);
    EXPECT_EQ(Launches(L"C:\\slow.exe"), 1);

    Passes(60);
    EXPECT_TRUE(fake.system.messages.empty());
    EXPECT_EQ(host.notices, std::vector<std::wstring>{L"Could not find Window with Caption: Slow - "});
    Passes(1);
    EXPECT_EQ(Launches(L"C:\\slow.exe"), 2);  // started again after its notice
    EXPECT_EQ(Events(L"Slow"), (std::vector<std::wstring>{L"launch", L"message", L"launch"}));
    EXPECT_EQ(Events(L"Quick"), (std::vector<std::wstring>{L"launch", L"found", L"hidden", L"gone", L"launch",
                                                          L"found", L"hidden"}));
}

TEST_F(NoticeModeTest, InBoxModeNothingElseIsVisitedWhileAProgramIsAwaited) {
    WindowHandle const quick = fake.desktop.Add(L"Quick - up", true, false);
    fake.shell.onLaunch = [&](auto const&) {
        fake.events.After(5000, [&] { fake.desktop.Find(quick)->minimised = true; });
    };
    int hiddenDuringWait = -1;
    fake.system.onMessage = [&] { hiddenDuringWait = !fake.desktop.IsVisible(quick); };
    engine.WatchPrograms();
    EXPECT_EQ(hiddenDuringWait, 0);  // minimised during the minute, and left alone until the box
    ASSERT_EQ(fake.system.messages.size(), 1u);
    EXPECT_TRUE(host.notices.empty());
    engine.WatchPrograms();
    EXPECT_FALSE(fake.desktop.IsVisible(quick));
}

TEST_F(NoticeModeTest, InBoxModeOpeningTheEditorEndsTheWaitForAWindow) {
    // The editor opens three seconds into the wait for Slow's window: the pass ends there, and
    // no other program is started under it.
    fake.shell.onLaunch = [this](auto const&) { fake.events.After(3000, [this] { host.watching = false; }); };
    engine.WatchPrograms();
    EXPECT_EQ(Launches(L"C:\\slow.exe"), 1);
    EXPECT_EQ(Launches(L"C:\\quick.exe"), 0);
    EXPECT_TRUE(fake.system.messages.empty());
}

TEST_F(NoticeModeTest, AWindowThatCameWhileABoxWaitedIsSeenByTheRestOfThePass) {
    engine.SetNoticeMode(NoticeMode::Tray);
    Passes(61);  // Slow awaited for all but the last second of its wait; Quick runs
    engine.SetNoticeMode(NoticeMode::Box);
    fake.desktop.Remove(engine.WindowOf(L"Quick"));  // Quick ends
    fake.events.now += 1000;
    // Slow's wait is over: a box says so, and while it waits the user starts Quick by hand.
    fake.system.onMessage = [&] { fake.desktop.Add(L"Quick - by hand", true, false); };
    engine.WatchPrograms();
    ASSERT_EQ(fake.system.messages.size(), 1u);
    EXPECT_EQ(Launches(L"C:\\quick.exe"), 1);  // its first start only
}

class BoxWaitTest : public ::testing::Test, protected testing::EngineScene {};

TEST_F(BoxWaitTest, TheAwaitedProgramIsFollowedByNameWhenAProgramAboveItIsDeleted) {
    // The main window shows after a missing file while passes go on, so the list can change
    // during a wait.
    fake.files.AddFile(L"C:\\slow.exe");
    fake.desktop.Add(L"Above", true, false);
    fake.desktop.Add(L"Below", true, false);
    AddProgram(L"Above", L"Above", L"C:\\above.exe");
    AddProgram(L"Slow", L"Slow - ", L"C:\\slow.exe");
    AddProgram(L"Below", L"Below", L"C:\\below.exe");
    fake.shell.onLaunch = [this](auto const&) {
        fake.events.After(3000, [this] { programs.Delete(1); });
        fake.events.After(10'000, [this] { fake.desktop.Add(L"Slow - up", true, true); });
    };
    engine.WatchPrograms();
    EXPECT_EQ(Events(L"Slow"), (std::vector<std::wstring>{L"launch", L"found"}));
    EXPECT_TRUE(fake.system.messages.empty());
}

TEST_F(NoticeModeTest, TheProcessesOfTheWindowsFoundAreWatchedAndAMissingFileStopsNoOtherProgram) {
    engine.SetNoticeMode(NoticeMode::Tray);
    Passes(2);
    std::uint32_t const quick = fake.desktop.WindowProcessId(engine.WindowOf(programs[2].name));
    EXPECT_EQ(fake.processes.watched, std::vector<std::uint32_t>{quick});
    programs.Delete(2);
    int const calls = fake.processes.calls;
    Passes(2);
    EXPECT_TRUE(fake.processes.watched.empty());
    EXPECT_EQ(fake.processes.calls, calls + 1);  // told again only when the list changes

    // One program's file is missing: said once, looked for again every minute, and every other
    // program goes on being watched and started.
    programs[1].exe = L"C:\\gone.exe";
    fake.files.AddFile(L"C:\\quick.exe");
    programs.Add(L"Quick");
    programs[2].caption = L"Quick - ";
    programs[2].exe = L"C:\\quick.exe";
    Passes(62);
    EXPECT_FALSE(engine.LaunchPaused());
    EXPECT_FALSE(host.pausedTip);
    EXPECT_EQ(std::count(host.notices.begin(), host.notices.end(), L"Executable: C:\\gone.exe is not a valid file."), 1);
    EXPECT_EQ(host.mainWindowShown, 0);
    EXPECT_TRUE(fake.system.messages.empty());
    EXPECT_EQ(engine.Status()[0].state, StatusState::MissingFile);
    fake.desktop.Remove(engine.WindowOf(programs[2].name));
    int const quickStarts = Launches(L"C:\\quick.exe");
    Passes(1);
    EXPECT_EQ(Launches(L"C:\\quick.exe"), quickStarts + 1);
    // The file comes back (a network drive): started within the minute.
    fake.files.AddFile(L"C:\\gone.exe");
    int const slow = Launches(L"C:\\gone.exe");
    Passes(61);
    EXPECT_EQ(Launches(L"C:\\gone.exe"), slow + 1);
}

}  // namespace
}  // namespace vigilon
