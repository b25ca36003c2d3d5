#include <gtest/gtest.h>

#include "unit/hours_scene.h"

namespace vigilon {
namespace {

// A browser kiosk restarted after a minute without input.
class IdleRuleTest : public ::testing::Test, protected testing::OneProgramScene {
protected:
    IdleRuleTest() : OneProgramScene(L"Kiosk", L"Kiosk - home") {
        programs[1].rules.idleRestart = L"1";
        Input();
    }
    void Input() { fake.system.lastInput = fake.events.now; }
    int Restarts() const { return static_cast<int>(Details(L"Kiosk", L"idle").size()); }
};

TEST_F(IdleRuleTest, RestartedOnceForEachIdleSpellAfterSomeoneUsedThePcSinceItsWindowCame) {
    // Nobody used the PC since the window came: a fresh start, however long it is idle.
    Passes(120);
    EXPECT_EQ(Restarts(), 0);
    Input();
    Passes(58);
    EXPECT_EQ(Restarts(), 0);
    Passes(4);
    EXPECT_EQ(Restarts(), 1);
    EXPECT_EQ(Details(L"Kiosk", L"idle"), std::vector<std::wstring>{L"nobody used the PC for 1 min"});
    EXPECT_EQ(fake.shell.launches.size(), 2u);  // started again: a planned restart, no trouble
    for (auto const& entry : fake.eventLog.entries) EXPECT_EQ(entry.type, kEventLogInformation) << entry.details;
    Passes(300);
    EXPECT_EQ(Restarts(), 1);
    // Someone uses the PC and leaves it: a new spell.
    Input();
    Passes(62);
    EXPECT_EQ(Restarts(), 2);
    // A busy kiosk: more idle restarts within the hour than a fault's restarts may make, none held.
    for (int spell = 3; spell <= 5; ++spell) {
        Passes(5);  // its new window comes before the next person's input
        Input();
        Passes(62);
        EXPECT_EQ(Restarts(), spell);
    }
    EXPECT_TRUE(Details(L"Kiosk", L"held").empty());
    for (auto const& entry : fake.eventLog.entries) EXPECT_EQ(entry.type, kEventLogInformation) << entry.details;
}

TEST_F(IdleRuleTest, NotWhilePausedADialogIsShownOrOutsideItsHoursNorWhenTheSystemCannotTell) {
    Passes(2);
    Input();
    engine.PauseLaunching();
    Passes(120);
    EXPECT_EQ(Restarts(), 0);
    engine.ResumeLaunching();
    engine.SetDialogShown(true);
    Passes(5);
    EXPECT_EQ(Restarts(), 0);
    engine.SetDialogShown(false);
    Passes(2);
    EXPECT_EQ(Restarts(), 1);  // the same spell, now that nothing is in the way

    // Outside its hours: it is off, and not restarted (the fake's clock says 03:07 on a Friday).
    programs[1].rules.hours = L"Sat 08:00-18:00";
    fake.desktop.refuseClose.clear();
    Input();
    Passes(120);
    EXPECT_EQ(Restarts(), 1);

    programs[1].rules.hours.clear();
    fake.system.lastInput.reset();
    Passes(120);
    EXPECT_EQ(Restarts(), 1);
}

TEST_F(IdleRuleTest, RefusedOnceForAProgramWithoutAWindowWhichKeepsItsKey) {
    fake.shell.onLaunch = nullptr;
    fake.files.AddFile(L"C:\\Agent\\agent.exe");
    WatchedProgram& agent = AddProgram(L"Agent", L"", L"C:\\Agent\\agent.exe");
    agent.rules.window = L"None";
    agent.rules.idleRestart = L"1";
    Passes(5);
    Input();
    Passes(90);
    EXPECT_EQ(Details(L"Agent", L"ignored"),
              std::vector<std::wstring>{L"IdleRestart=1: not usable for a program without a window (Window=None): "
                                        L"it has no window on screen to restart"});
    EXPECT_TRUE(Details(L"Agent", L"idle").empty());
    EXPECT_EQ(programs[2].rules.idleRestart, L"1");  // left as the file has it
}

TEST_F(IdleRuleTest, NotWhileTheEscalationCountdownRuns) {
    // The restart scheduled at 03:05 counts down from then for a minute; the kiosk is idle a minute
    // from about 03:05:05, inside the countdown, where a person may be reading the notice.
    EscalationOptions options;
    options.rebootAt = 3 * 60 + 5;
    engine.SetEscalation(options);
    Passes(2);
    Input();  // someone used the PC once its window came
    for (int i = 0; i < 78; ++i) {
        Passes(1);
        engine.TendCommands();  // the once-a-second work that runs the countdown
    }
    ASSERT_TRUE(engine.EscalationCountingDown());
    EXPECT_EQ(Restarts(), 0);
    ASSERT_TRUE(engine.CancelEscalation(L"Cancel"));
    Passes(2);
    EXPECT_EQ(Restarts(), 1);
}

}  // namespace
}  // namespace vigilon
