#include <gtest/gtest.h>

#include <algorithm>

#include "engine/outputs/heartbeat.h"
#include "engine/outputs/status_json.h"
#include "unit/hours_scene.h"

namespace vigilon {
namespace {

// A sign player with opening hours.
class HoursRuleTest : public ::testing::Test, protected testing::OneProgramScene {
protected:
    HoursRuleTest() : OneProgramScene(L"Sign", L"Sign - up") {}
    WatchedProgram& Sign() { return programs[1]; }
    int Starts() const { return static_cast<int>(fake.shell.launches.size()); }
    std::wstring State() { return StatusCells(engine.Status()[0])[1]; }
    std::wstring Json() { return StatusJson(engine.Snapshot()); }
    // Its window goes and its process ends with `code`; a pass sees it.
    void Ends(std::uint32_t code) {
        fake.processes.exits[fake.desktop.WindowProcessId(window)] = {ProcessExit::State::Ended, code};
        fake.desktop.Remove(window);
        Passes(5);
    }
};

TEST_F(HoursRuleTest, ClosedAsPlannedAtTheEndAndStartedAtTheNextStartOfItsHours) {
    Sign().rules.hours = L"03:00-03:06";
    Passes(2);
    ASSERT_EQ(Starts(), 1);
    Passes(120);  // to 03:06:07: the end of its hours
    EXPECT_EQ(fake.desktop.postedCloses, std::vector<WindowHandle>{window});
    EXPECT_EQ(Details(L"Sign", L"off"), std::vector<std::wstring>{L"its hours end: closed until Sat 03:00"});
    Passes(5);
    EXPECT_EQ(Starts(), 1);
    EXPECT_EQ(Details(L"Sign", L"gone"), std::vector<std::wstring>{L"closed as asked"});
    EXPECT_EQ(State(), L"Off until Sat 03:00");
    // A planned end: no warning in the event log, no picture; off counts neither up nor down.
    for (auto const& entry : fake.eventLog.entries) EXPECT_EQ(entry.type, kEventLogInformation) << entry.details;
    EXPECT_TRUE(AllRunning(engine.Status()));
    EXPECT_NE(Json().find(L"\"state\": \"off\""), std::wstring::npos);
    EXPECT_NE(Json().find(L"\"nextStart\": \"2026-01-03T03:00:00+01:00\""), std::wstring::npos) << Json();

    Later(24 * 60 - 7);  // Saturday 02:59:12
    Passes(50);
    EXPECT_EQ(Starts(), 2);
    EXPECT_EQ(Details(L"Sign", L"on"), std::vector<std::wstring>{L"its hours begin, until Sat 03:06"});
    EXPECT_EQ(State(), L"Running");
}

TEST_F(HoursRuleTest, AProgramLeftClosedIsStartedAtTheNextStartOfItsHoursUnlessLaunchingIsPaused) {
    Sign().rules.hours = L"03:00-03:06";
    Sign().rules.restart = L"Failure";
    Passes(2);
    ASSERT_EQ(Starts(), 1);
    // Closed by its person within its hours (it exits with 0): left closed for the rest of them.
    Ends(0);
    Passes(30);
    EXPECT_EQ(engine.Status()[0].state, StatusState::Closed);
    EXPECT_EQ(Starts(), 1);
    Later(24 * 60 - 6);  // Saturday 02:58:42
    Passes(90);
    EXPECT_EQ(Starts(), 2);
    EXPECT_EQ(Details(L"Sign", L"on"), std::vector<std::wstring>{L"its hours begin, until Sat 03:06"});
    EXPECT_EQ(State(), L"Running");

    // Started by a person after its hours, left closed, and its hours begin meanwhile: started then.
    Passes(7 * 60);  // past 03:06: closed for its hours
    EXPECT_EQ(engine.StartProgram(L"Sign").answer, StartAnswer::Starting);
    Passes(2);
    ASSERT_EQ(Starts(), 3);
    Ends(0);
    EXPECT_EQ(engine.Status()[0].state, StatusState::Closed);
    Later(24 * 60 - 9);  // Sunday 02:58
    Passes(120);
    EXPECT_EQ(Starts(), 4);
    EXPECT_EQ(Details(L"Sign", L"on").back(), L"its hours begin, until Sun 03:06");

    // Launching paused as its hours begin: nothing starts.
    Ends(0);
    engine.PauseLaunching();
    Later(24 * 60 - 3);  // Monday 02:57
    Passes(240);
    EXPECT_EQ(Starts(), 4);
    // Its range began while paused: it stays closed when launching resumes.
    engine.ResumeLaunching();
    Passes(10);
    EXPECT_EQ(Starts(), 4);
    EXPECT_EQ(engine.Status()[0].state, StatusState::Closed);
}

TEST_F(HoursRuleTest, ARangeNoPassSawBeginStartsAProgramLeftClosedButChangedHoursDoNot) {
    Sign().rules.hours = L"03:00-03:06";
    Sign().rules.restart = L"Failure";
    Passes(2);
    ASSERT_EQ(Starts(), 1);
    Ends(0);
    // No pass between Friday's range and Saturday's (the PC slept through the night).
    Later(24 * 60);
    Passes(5);
    EXPECT_EQ(Starts(), 2);
    // Closed by its person again, past its hours, and then its hours are widened to cover now:
    // only the start of a range starts it again.
    Ends(0);
    Passes(180);
    Sign().rules.hours = L"03:00-23:00";
    Passes(10);
    EXPECT_EQ(Starts(), 2);
    EXPECT_EQ(engine.Status()[0].state, StatusState::Closed);
}

TEST_F(HoursRuleTest, ACrashOfAPersonsStartOutsideItsHoursIsTroubleAndItIsStartedAgain) {
    // No range within a day: watched until it is closed.
    Sign().rules.hours = L"Mon 08:00-09:00";
    Passes(2);
    engine.StartProgram(L"Sign");
    Passes(2);
    ASSERT_EQ(Details(L"Sign", L"on").back(), L"started by a person outside its hours: watched until it is closed");
    // Trouble: its gone line says no person's close (a planned end would say "closed outside its hours").
    Ends(0xC0000005u);
    EXPECT_EQ(Details(L"Sign", L"gone").back(), L"exit code 0xC0000005 (crash)");
    EXPECT_EQ(Starts(), 2);
    Ends(3);  // a failing exit code, the same
    EXPECT_EQ(Details(L"Sign", L"gone").back(), L"exit code 3");
    Passes(5);
    EXPECT_EQ(Starts(), 3);
    EXPECT_EQ(State(), L"Running");
    // An exit with 0 is its person's close: a planned end, and it is off.
    Ends(0);
    Passes(5);
    EXPECT_EQ(Details(L"Sign", L"gone").back(), L"closed outside its hours, exit code 0");
    EXPECT_EQ(Starts(), 3);
    EXPECT_EQ(State(), L"Off until Mon 08:00");

    // Until the end of the next range (it begins within a day): a crash is trouble too.
    Sign().rules.hours = L"Fri 08:00-09:00";
    Passes(2);
    engine.StartProgram(L"Sign");
    Passes(2);
    ASSERT_EQ(Details(L"Sign", L"on").back(), L"started by a person outside its hours: watched until Fri 09:00");
    Ends(0xC0000005u);
    EXPECT_EQ(Details(L"Sign", L"gone").back(), L"exit code 0xC0000005 (crash)");
    EXPECT_EQ(Starts(), 5);
}

TEST_F(HoursRuleTest, AWindowAskingToSaveAtTheEndIsAskedOnceAndItsLateEndIsNoTrouble) {
    Sign().rules.hours = L"03:00-03:06";
    Passes(2);
    fake.desktop.refuseClose.push_back(window);  // it answers, and asks its user to save
    std::size_t answered = 0;
    for (int i = 0; i < 2 * 3600; ++i) {  // two hours on: never ended, never asked a second time
        Passes(1);
        for (; answered < fake.processes.questions.size(); ++answered) engine.WindowAnswered(fake.processes.questions[answered], true);
    }
    EXPECT_EQ(Details(L"Sign", L"spared").size(), 1u);
    EXPECT_EQ(fake.desktop.postedCloses, std::vector<WindowHandle>{window});
    EXPECT_EQ(State(), L"Running");
    // The user answers "Don't save" long after: a planned end, not started again.
    fake.desktop.Remove(window);
    Passes(3);
    EXPECT_EQ(Details(L"Sign", L"gone"), std::vector<std::wstring>{L"closed as asked"});
    EXPECT_EQ(Starts(), 1);
    EXPECT_EQ(State(), L"Off until Sat 03:00");
    for (auto const& entry : fake.eventLog.entries) EXPECT_EQ(entry.type, kEventLogInformation) << entry.details;
}

TEST_F(HoursRuleTest, AStartWhoseWindowNeverCameIsOffOnceItsWaitIsOverAfterTheEnd) {
    Sign().rules.hours = L"03:00-03:05";
    fake.shell.onLaunch = nullptr;  // its window never comes
    Passes(2);                      // started at 03:04:06; its hours end at 03:05 while it waits
    ASSERT_EQ(Starts(), 1);
    Passes(90);  // past its wait of a minute
    EXPECT_EQ(State(), L"Off until Sat 03:00");
    EXPECT_EQ(Starts(), 1);
}

TEST_F(HoursRuleTest, ALaunchProgramsSeenInsideItsHoursDoesNotKeepItOpenPastTheirEnd) {
    Sign().rules.hours = L"03:06-03:08";
    Passes(2);  // 03:04:07: off
    ASSERT_EQ(Starts(), 0);
    engine.LaunchPrograms();
    Later(2);  // its hours begin before the next pass sees the Launch Programs
    Passes(2);
    ASSERT_EQ(Starts(), 1);
    Passes(120);  // past 03:08
    EXPECT_EQ(fake.desktop.postedCloses, std::vector<WindowHandle>{window});
    EXPECT_EQ(State(), L"Off until Sat 03:06");
}

TEST_F(HoursRuleTest, NotStartedAtVigilonsStartOutsideItsHoursUntilAPersonStartsIt) {
    Sign().rules.hours = L"Mon-Fri 08:00-18:00";
    Sign().rules.startDelay = L"30";
    Passes(40);
    EXPECT_EQ(Starts(), 0);
    EXPECT_EQ(State(), L"Off until Fri 08:00");
    EXPECT_EQ(Details(L"Sign", L"off"), std::vector<std::wstring>{L"outside its hours, not started until Fri 08:00"});
    EXPECT_TRUE(Details(L"Sign", L"waiting").empty());

    // A person's start: watched, and started again after a crash, until the end of the next range.
    EXPECT_EQ(engine.StartProgram(L"Sign").answer, StartAnswer::Starting);
    Passes(2);
    EXPECT_EQ(Starts(), 1);
    EXPECT_EQ(Details(L"Sign", L"on"), std::vector<std::wstring>{L"started by a person outside its hours: watched until Fri 18:00"});
    fake.desktop.Remove(window);
    Passes(3);
    EXPECT_EQ(Starts(), 2);
    Later(18 * 60 - 4 * 60);  // 17:04
    Passes(10);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    Later(56);  // 18:00
    Passes(5);
    EXPECT_EQ(fake.desktop.postedCloses.size(), 1u);
    EXPECT_EQ(State(), L"Off until Mon 08:00");
}

TEST_F(HoursRuleTest, WithNoRangeWithinADayAPersonsStartLastsUntilItIsClosedAndTheStartDelayAppliesAtTheHoursStart) {
    Sign().rules.hours = L"Mon 08:00-09:00";
    Passes(2);
    engine.StartProgram(L"Sign");
    Passes(2);
    EXPECT_EQ(Details(L"Sign", L"on").back(), L"started by a person outside its hours: watched until it is closed");
    // A restart is no close: it is started again.
    EXPECT_EQ(engine.RestartProgram(L"Sign"), WatchEngine::RestartAnswer::Restarting);
    Passes(3);
    EXPECT_EQ(Starts(), 2);
    fake.desktop.Remove(window);
    Passes(5);
    EXPECT_EQ(Starts(), 2);
    EXPECT_EQ(State(), L"Off until Mon 08:00");
    // Closed by its person: no trouble.
    EXPECT_EQ(Details(L"Sign", L"gone").back(), L"closed outside its hours");
    for (auto const& entry : fake.eventLog.entries) EXPECT_EQ(entry.type, kEventLogInformation) << entry.details;
    EXPECT_EQ(Details(L"Sign", L"off").size(), 2u);

    // Launch Programs is a person's start too; Close Programs then leaves it closed, also when its
    // hours begin.
    engine.LaunchPrograms();
    Passes(2);
    EXPECT_EQ(Starts(), 3);
    engine.ClosePrograms();
    Passes(3);
    Later(3 * 24 * 60 + 5 * 60 - 1);  // Monday 08:03
    Passes(10);
    EXPECT_EQ(Starts(), 3);

    // Its hours begin while launching runs: its StartDelay counts from then.
    engine.ResumeLaunching();
    Passes(2);
    Sign().rules.startDelay = L"20";
    Later(7 * 24 * 60 - 4);  // next Monday 07:59: closed, its hours over since last Monday 09:00
    Passes(70);
    EXPECT_EQ(Details(L"Sign", L"off").back(), L"its hours end: closed until Mon 08:00");
    EXPECT_EQ(Details(L"Sign", L"waiting"), std::vector<std::wstring>{L"until 08:00:20"});
    EXPECT_EQ(Details(L"Sign", L"ready"), std::vector<std::wstring>{L"after 20.0 s"});
    EXPECT_EQ(Starts(), 5);
}

TEST_F(HoursRuleTest, AProgramRunningOutsideItsHoursAtVigilonsStartIsLeftRunning) {
    Sign().rules.hours = L"Mon-Fri 08:00-18:00";
    window = fake.desktop.Add(L"Sign - already", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(window)] = exe;
    Passes(10);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    EXPECT_EQ(Details(L"Sign", L"on"), std::vector<std::wstring>{L"running outside its hours: watched until Fri 18:00"});
    EXPECT_EQ(State(), L"Running");
}

TEST_F(HoursRuleTest, AWindowStartedByHandWhileItIsOffIsLeftRunning) {
    Sign().rules.hours = L"Mon-Fri 08:00-18:00";
    Passes(3);
    window = fake.desktop.Add(L"Sign - by hand", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(window)] = exe;
    Passes(5);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());
    EXPECT_EQ(Details(L"Sign", L"on"), std::vector<std::wstring>{L"running outside its hours: watched until Fri 18:00"});
}

}  // namespace
}  // namespace vigilon
