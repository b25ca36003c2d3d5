#include <gtest/gtest.h>

#include <algorithm>

#include "app/escalate_rules.h"
#include "app/options.h"
#include "app/setting_source.h"
#include "fakes/fake_profile_store.h"
#include "engine/escalation_record.h"
#include "engine/outputs/status_json.h"
#include "engine/rules/escalation_ladder.h"
#include "fakes/engine_scene.h"
#include "fakes/engine_target.h"
#include "support/local_time.h"

namespace vigilon {
namespace {

using State = ProcessExit::State;
constexpr std::int64_t kMinute = 60'000;

TEST(EscalateRules, StepsAreReadInOrderOfTheirCountsAndATextThatCannotBeUsedIsRefusedWithWhy) {
    RuleValue<std::vector<EscalateStep>> const steps = ParseEscalate(L" 15:Reboot, 5:command,10:LOGOFF ");
    ASSERT_TRUE(steps.value);
    EXPECT_EQ(FormatEscalate(*steps.value), L"5:command, 10:logoff, 15:reboot");
    EXPECT_FALSE(ParseEscalate(L"").value);
    EXPECT_TRUE(ParseEscalate(L"").problem.empty());  // off, not refused
    for (wchar_t const* bad : {L"5", L"5:explode", L"0:reboot", L"1001:reboot", L"5:reboot, 5:logoff", L"5:reboot,"}) {
        EXPECT_FALSE(ParseEscalate(bad).value) << bad;
        EXPECT_NE(ParseEscalate(bad).problem.find(L"count:action"), std::wstring::npos) << bad;
    }
    EXPECT_EQ(ParseEscalateMinutes(L"").value, 60);
    EXPECT_EQ(ParseEscalateMinutes(L"1440").value, 1440);
    for (wchar_t const* bad : {L"0", L"1441", L"ten"}) EXPECT_FALSE(ParseEscalateMinutes(bad).value) << bad;
}

TEST(EscalationLadder, EachStepIsTakenOnceAndTheCountStartsOverAtTheTopAndAfterItsQuietMinutes) {
    EscalationLadder ladder;
    ladder.Change({{2, EscalateAction::Command}, {3, EscalateAction::Reboot}}, 10);
    std::int64_t t = 1'000'000;
    EXPECT_FALSE(ladder.Count(t));
    EXPECT_EQ(ladder.Count(t += 1000), (EscalateStep{2, EscalateAction::Command}));
    EXPECT_EQ(FormatEscalate({*ladder.Next(t)}), L"3:reboot");
    EXPECT_EQ(ladder.Count(t += 1000), (EscalateStep{3, EscalateAction::Reboot}));
    EXPECT_EQ(ladder.CountAt(t), 0);  // the top: a new climb begins
    EXPECT_FALSE(ladder.Count(t += 1000));
    // Ten quiet minutes: what was counted is forgotten, shown as 0 already before the next trouble.
    EXPECT_EQ(ladder.CountAt(t + 10 * kMinute), 0);
    EXPECT_FALSE(ladder.Count(t += 10 * kMinute));
    EXPECT_EQ(ladder.Count(t += 9 * kMinute), (EscalateStep{2, EscalateAction::Command}));

    // Changed while its count runs: the count stays for a ladder it has not climbed past...
    ladder.Change({{5, EscalateAction::Logoff}}, 60);
    EXPECT_EQ(ladder.CountAt(t), 2);
    // ...and starts over for one whose top it has reached, or when turned off.
    ladder.Change({{2, EscalateAction::Logoff}}, 60);
    EXPECT_EQ(ladder.CountAt(t), 0);
    ladder.Change({}, 60);
    EXPECT_FALSE(ladder.Count(t));
}

// The count is of the troubles within the last minutes, not since the last quiet period: troubles
// every six minutes under EscalateMinutes=10 never make three.
TEST(EscalationLadder, CountsOnlyTheTroublesWithinTheLastMinutes) {
    EscalationLadder ladder;
    ladder.Change({{3, EscalateAction::Reboot}}, 10);
    std::int64_t t = 1000;
    EXPECT_FALSE(ladder.Count(t));
    EXPECT_FALSE(ladder.Count(t += 6 * kMinute));
    EXPECT_FALSE(ladder.Count(t += 6 * kMinute));  // the first is 12 minutes old: dropped
    EXPECT_EQ(ladder.CountAt(t), 2);
    EXPECT_EQ(ladder.Count(t += 2 * kMinute), (EscalateStep{3, EscalateAction::Reboot}));
}

// The times of the last day survive a restart of Vigilon in the registry. A time far ahead of now
// (written by hand, or the clock set back by more than a day) must not lock escalation out; one a
// little ahead still counts, and what is no time at all is passed over.
TEST(EscalationRecord, TheTimesOfTheLastDaySurviveARestartOfVigilonAndThoseMoreThanADayAheadAndGarbageAreDropped) {
    testing::FakeRegistry registry;
    std::int64_t const now = 1'800'000'000;
    {
        EscalationRecord before(registry);
        EXPECT_EQ(before.InLastDay(now), 0);
        ASSERT_TRUE(before.Add(now - EscalationRecord::kDaySeconds));  // a day ago: no longer counted
        ASSERT_TRUE(before.Add(now - 60));
    }
    EXPECT_EQ(EscalationRecord(registry).InLastDay(now), 1);  // Vigilon started again, after the restart

    registry.WriteString(RegistryRoot::CurrentUser, EscalationRecord::kKeyPath, EscalationRecord::kValueName,
                         L"9999999999,1800000600,x1,,-5,12345678901," + std::to_wstring(now + 2 * 86'400));
    EXPECT_EQ(EscalationRecord(registry).InLastDay(now), 1);  // only the one ten minutes ahead
}

// The PC-wide keys are [Apps] options: read leniently from the file, a policy first, one a policy
// cannot use passed over.
TEST(EscalationOptions, AreReadFromTheFileUnderThePoliciesHeldToTheirRanges) {
    testing::FakeProfileStore store;
    testing::FakeRegistry registry;
    SettingsFile const settings{store, L"C:\\V\\vigilon.ini"};
    EXPECT_EQ(LoadOptions(settings, registry).escalation, EscalationOptions{});
    store.Set(L"C:\\V\\vigilon.ini", L"Apps", L"MinUptime", L"2");  // at least 5
    store.Set(L"C:\\V\\vigilon.ini", L"Apps", L"EscalateNotice", L"9999");
    store.Set(L"C:\\V\\vigilon.ini", L"Apps", L"RebootAt", L"4:30");
    store.Set(L"C:\\V\\vigilon.ini", L"Apps", L"RebootDays", L"Sat, sunday");
    registry.SetDword(RegistryRoot::LocalMachine, kPolicyKeyPath, L"MaxReboots", 1);
    registry.SetDword(RegistryRoot::LocalMachine, kPolicyKeyPath, L"MinUptime", 1);  // out of range: passed over
    Options const options = LoadOptions(settings, registry);
    EXPECT_EQ(options.escalation.minUptimeMinutes, 5);
    EXPECT_FALSE(options.locked.minUptime);
    EXPECT_EQ(options.escalation.maxReboots, 1);
    EXPECT_TRUE(options.locked.maxReboots);
    EXPECT_EQ(options.escalation.noticeSeconds, 600);
    EXPECT_EQ(options.escalation.rebootAt, 4 * 60 + 30);
    EXPECT_EQ(RebootDaysText(options.escalation.rebootDays), L"Sat, Sun");
    EXPECT_EQ(RebootDaysCheck(L"Mon, Funday"), L"not days of the week (Mon, Tue, Wed, Thu, Fri, Sat, Sun) separated by commas");
    EXPECT_EQ(RebootAtCheck(L"25:00"), L"not a time of day from 0:00 to 23:59, as hh:mm");
}

// A kiosk program whose window opens at each start, with a ladder, the command on trouble set and
// the lockout's defaults; the fake PC has run an hour.
class EscalationTest : public ::testing::Test, protected testing::EngineScene {
protected:
    EscalationTest() {
        engine.SetNoticeMode(NoticeMode::Tray);
        engine.SetTroubleCommand(L"C:\\notify.cmd");
        fake.files.AddFile(L"C:\\kiosk.exe");
        AddProgram(L"Kiosk", L"Kiosk", L"C:\\kiosk.exe");
        fake.shell.onLaunch = [this](auto const&) {
            window = fake.desktop.Add(L"Kiosk - up", true, false);
            fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\kiosk.exe";
        };
        Ladder(L"3:reboot");
        Seconds(2);
    }
    void Ladder(std::wstring const& steps) { programs[1].rules.escalate = steps; }
    void Goes(ProcessExit exit) {
        fake.processes.exits[fake.desktop.WindowProcessId(window)] = exit;
        fake.desktop.Remove(window);
    }
    void Options(int noticeSeconds, int maxReboots = 3) {
        EscalationOptions options;
        options.noticeSeconds = noticeSeconds;
        options.maxReboots = maxReboots;
        engine.SetEscalation(options);
    }
    // Seconds of passes, each with the once-a-second work that runs the countdown.
    void Seconds(int count) {
        for (int i = 0; i < count; ++i) {
            engine.WatchPrograms();
            engine.TendCommands();
            fake.events.now += 1000;
            fake.events.ProcessPendingEvents();
        }
    }
    // The window goes with its process ended as `exit` says, and it is started again.
    void Ends(ProcessExit exit = {State::Ended, 0xC0000005u}) {
        Goes(exit);
        Seconds(2);
    }
    // A crash seen by one pass and no time later: the countdown it begins has all its seconds to go.
    void Crash() {
        Goes({State::Ended, 0xC0000005u});
        engine.WatchPrograms();
    }
    // The countdown of a minute begun: `before` ends, then the crash that reaches the ladder's step.
    void Countdown(int before) {
        Options(60);
        for (int i = 0; i < before; ++i) Ends();
        Crash();
    }
    // RebootAt, minutes after midnight, on `days`.
    void RebootAt(int minutes, unsigned days = kEveryDay) {
        EscalationOptions options;
        options.rebootAt = minutes;
        options.rebootDays = days;
        engine.SetEscalation(options);
    }
    using FakeCommand = testing::FakeCommandRunner::Command;
    // The commands run for `event`, in order.
    std::vector<FakeCommand> Commands(std::wstring const& event) const {
        std::vector<FakeCommand> found;
        for (auto const& command : fake.commands.commands) {
            if (command.variables.at(L"VIGILON_EVENT") == event) found.push_back(command);
        }
        return found;
    }
    std::size_t Said(std::wstring const& program, std::wstring const& word) const { return Details(program, word).size(); }
    int Count() { return engine.Status()[0].escalationCount; }
    WindowHandle window = 0;
    testing::EngineTarget target{engine};
};

TEST_F(EscalationTest, OnlyTheEndsTheHistoryCallsTroubleCountAndNoneWhileLaunchingIsPaused) {
    Ladder(L"3:command");
    Ends();  // a crash
    EXPECT_EQ(Count(), 1);
    ASSERT_EQ(engine.RestartProgram(L"Kiosk"), WatchEngine::RestartAnswer::Restarting);
    Ends({State::Ended, 0});  // closed as asked by /restart
    engine.ClosePrograms();   // Close Programs asks it to close
    Ends({State::Ended, 0});
    EXPECT_EQ(Count(), 1);
    engine.LaunchPrograms();
    Seconds(2);
    engine.PauseLaunching();
    Ends();  // a crash while launching is paused
    EXPECT_EQ(Count(), 1);
    engine.LaunchPrograms();
    Seconds(2);
    programs[1].rules.restart = L"Failure";
    Seconds(1);
    Ends({State::Ended, 0});  // a normal exit under Restart=Failure: left closed, no trouble
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(Commands(L"escalate").empty());

    engine.LaunchPrograms();
    Seconds(2);
    Ends({State::Ended, 3});  // an exit code other than 0
    Ends();
    ASSERT_EQ(Commands(L"escalate").size(), 1u);
    auto const variables = Commands(L"escalate")[0].variables;
    EXPECT_EQ(variables.at(L"VIGILON_PROGRAM"), L"Kiosk");
    EXPECT_EQ(variables.at(L"VIGILON_COUNT"), L"3");
    EXPECT_EQ(variables.at(L"VIGILON_MINUTES"), L"60");
    EXPECT_EQ(Details(L"Kiosk", L"escalate"), std::vector<std::wstring>{L"Kiosk failed 3 times in 60 minutes: the command on trouble runs"});
    EXPECT_EQ(Count(), 0);  // the top of its ladder: it starts over
    EXPECT_TRUE(fake.power.requests.empty());
}

TEST_F(EscalationTest, ARestartComesAfterItsCountdownWithItsReasonAndIsShownInTheStatus) {
    Options(60);
    Ends();
    Ends();
    StatusSnapshot snapshot = engine.Snapshot();
    EXPECT_EQ(StatusCells(snapshot.programs[0].row)[1], L"Running, 2 of 3:reboot in 60 min");
    EXPECT_NE(StatusJson(snapshot).find(L"\"escalation\": {\r\n        \"count\": 2,\r\n        \"windowMinutes\": 60,\r\n"
                                        L"        \"next\": \"3:reboot\""),
              std::wstring::npos);
    EXPECT_NE(StatusJson(snapshot).find(L"\"nextReboot\": null"), std::wstring::npos);
    engine.SetHeartbeat(L"https://hc.example.com/push?status={status}&msg={msg}", 60);
    Crash();
    // Its monitor hears at once that the PC goes down, and why.
    ASSERT_FALSE(fake.http.requests.empty());
    EXPECT_EQ(fake.http.requests.back().url,
              L"https://hc.example.com/push?status=down&msg=" + UrlEncoded(L"Vigilon restarts this PC in 60 s: Kiosk failed 3 times in 60 minutes."));
    ASSERT_TRUE(engine.EscalationNotice());
    EXPECT_EQ(engine.EscalationNotice()->text, L"Vigilon restarts this PC in 60 s: Kiosk failed 3 times in 60 minutes.");
    EXPECT_NE(StatusJson(engine.Snapshot()).find(L"\"nextReboot\": \"2026-"), std::wstring::npos);
    Seconds(55);
    EXPECT_TRUE(fake.power.requests.empty());
    Seconds(6);
    ASSERT_EQ(fake.power.requests.size(), 1u);
    EXPECT_EQ(fake.power.requests[0].how, SessionEnd::Reboot);
    EXPECT_EQ(fake.power.requests[0].reason, L"Vigilon: Kiosk failed 3 times in 60 minutes.");
    EXPECT_FALSE(engine.EscalationNotice());
    EXPECT_EQ(EscalationRecord(fake.registry).InLastDay(UnixSeconds(fake.events.LocalTimeNow())), 1);
    EXPECT_EQ(Commands(L"escalate").size(), 1u);  // told once, as the countdown began
}

TEST_F(EscalationTest, TheLockoutHoldsWithinMinUptimeAndPastMaxRebootsSaidOnceWhileTheCommandStillRuns) {
    Ladder(L"1:reboot");
    Options(0, 1);
    fake.power.uptime = 10 * kMinute;  // within MinUptime=15
    Ends();
    Ends();
    EXPECT_EQ(Details(L"Kiosk", L"held"),
              std::vector<std::wstring>{L"restart of the PC for Kiosk kept back: the PC started 10 minutes ago, within MinUptime=15"});
    ASSERT_EQ(Commands(L"held").size(), 2u);  // the command runs for every step held
    EXPECT_EQ(Commands(L"held")[1].variables.at(L"VIGILON_ACTION"), L"reboot");
    EXPECT_TRUE(fake.power.requests.empty());

    // MaxReboots=1 in 24 hours: one made a minute ago by a Vigilon since started again counts.
    fake.power.uptime = 20 * kMinute;
    EscalationRecord(fake.registry).Add(UnixSeconds(fake.events.LocalTimeNow()) - 60);
    Ends();
    Ends();
    EXPECT_TRUE(fake.power.requests.empty());
    EXPECT_EQ(Details(L"Kiosk", L"held").back(), L"restart of the PC for Kiosk kept back: 1 in the last 24 hours, MaxReboots=1");
    EXPECT_EQ(Said(L"Kiosk", L"held"), 2u);
}

TEST_F(EscalationTest, AnActionHeldAtItsCountdownsEndKeepsItsVariablesAndOnceTheSystemTakesOneNothingMoreIsBegun) {
    Ladder(L"1:reboot");
    Countdown(0);
    fake.power.uptime = 10 * kMinute;  // within MinUptime by the countdown's end (a fake's clock)
    Seconds(61);
    EXPECT_TRUE(fake.power.requests.empty());
    ASSERT_EQ(Commands(L"held").size(), 1u);
    EXPECT_EQ(Commands(L"held")[0].variables.at(L"VIGILON_COUNT"), L"1");
    EXPECT_EQ(Commands(L"held")[0].variables.at(L"VIGILON_ACTION"), L"reboot");

    fake.power.uptime = 60 * kMinute;
    Ends();
    Seconds(61);
    ASSERT_EQ(fake.power.requests.size(), 1u);
    // The session ends: the programs' ends that come meanwhile and the exit begin and say nothing.
    Ends();
    Ends();
    EXPECT_FALSE(engine.EscalationNotice());
    engine.RecordExit();
    EXPECT_EQ(fake.power.requests.size(), 1u);
    EXPECT_EQ(Said(L"Kiosk", L"escalate"), 3u);  // two countdowns begun, and the second's end
    EXPECT_EQ(Said(L"Kiosk", L"cancelled"), 0u);
}

TEST_F(EscalationTest, PausingLaunchingCancelsTheCountdownAtOnceAndLeavesTheScheduledRestartOutOfNextReboot) {
    Countdown(2);
    ASSERT_TRUE(engine.EscalationNotice());
    engine.PauseLaunching();
    EXPECT_FALSE(engine.EscalationNotice());
    Seconds(61);
    EXPECT_TRUE(fake.power.requests.empty());
    EXPECT_EQ(Details(L"Kiosk", L"cancelled"),
              std::vector<std::wstring>{L"restart of the PC cancelled, launching was paused: Kiosk failed 3 times in 60 minutes"});
    RebootAt(4 * 60);
    EXPECT_NE(StatusJson(engine.Snapshot()).find(L"\"nextReboot\": null"), std::wstring::npos);
}

TEST_F(EscalationTest, ACountdownGoesOnShownWhateverTheNoticeIsSetToButNotForADeletedProgramOrALadderThatNoLongerEndsTheSession) {
    Countdown(2);
    Options(0);  // changed mid-countdown: the restart still comes, so the notice stays
    Seconds(1);
    ASSERT_TRUE(engine.EscalationNotice());
    Ladder(L"3:command");
    Seconds(2);
    EXPECT_FALSE(engine.EscalationCountingDown());

    Ladder(L"1:logoff");
    Seconds(1);
    Countdown(0);
    ASSERT_TRUE(engine.EscalationCountingDown());
    programs.Delete(1);
    Seconds(61);
    EXPECT_FALSE(engine.EscalationCountingDown());
    EXPECT_TRUE(fake.power.requests.empty());
    EXPECT_EQ(Details(L"Kiosk", L"cancelled"),
              (std::vector<std::wstring>{
                  L"restart of the PC cancelled, the ladder of Kiosk no longer ends the session: Kiosk failed 3 times in 60 minutes",
                  L"logoff cancelled, Kiosk is no longer in the list: Kiosk failed once in 60 minutes"}));
}

TEST_F(EscalationTest, ARefusalIsSaidOnceWithTheSystemsReasonAndNotAskedAgainWithinTheHour) {
    Ladder(L"1:shutdown");
    Options(0);
    fake.power.refusal = L"A required privilege is not held by the client (error 1314)";
    Ends();
    ASSERT_EQ(fake.power.requests.size(), 1u);
    EXPECT_EQ(Details(L"Kiosk", L"refused"),
              std::vector<std::wstring>{L"shutdown of the PC for Kiosk refused by the system: A required privilege is not held by the client (error 1314)"});
    EXPECT_EQ(Commands(L"refused").size(), 1u);
    EXPECT_EQ(EscalationRecord(fake.registry).InLastDay(UnixSeconds(fake.events.LocalTimeNow())), 0);  // it did not happen
    for (int i = 0; i < 5; ++i) Ends();
    EXPECT_EQ(fake.power.requests.size(), 1u);
    EXPECT_EQ(Said(L"Kiosk", L"refused"), 1u);
    fake.events.now += 60 * kMinute;
    Ends();
    EXPECT_EQ(fake.power.requests.size(), 2u);
}

TEST_F(EscalationTest, ACountdownIsCancelledByItsButtonByCancelAndByExitAndTheCountStartsOver) {
    Ladder(L"1:logoff, 2:reboot");
    Countdown(0);
    ASSERT_TRUE(engine.EscalationNotice());
    EXPECT_EQ(engine.EscalationNotice()->text, L"Vigilon logs off this session in 60 s: Kiosk failed once in 60 minutes.");
    EXPECT_TRUE(engine.CancelEscalation(L"Cancel"));  // the notice's button
    EXPECT_EQ(Count(), 0);
    Seconds(61);
    Ends();
    ASSERT_TRUE(engine.EscalationNotice());
    EXPECT_EQ(AnswerRemote({RemoteVerb::Cancel, {}}, target),
              (RemoteAnswer{kRemoteDone, L"The countdown is cancelled: nothing is ended.\r\n"}));
    EXPECT_EQ(AnswerRemote({RemoteVerb::Cancel, {}}, target).code, kRemoteNotDone);
    Ends();
    ASSERT_TRUE(engine.EscalationNotice());
    engine.RecordExit();
    Seconds(61);
    EXPECT_TRUE(fake.power.requests.empty());
    EXPECT_EQ(Details(L"Kiosk", L"cancelled"),
              (std::vector<std::wstring>{L"logoff cancelled by Cancel: Kiosk failed once in 60 minutes",
                                         L"logoff cancelled by /cancel: Kiosk failed once in 60 minutes",
                                         L"logoff cancelled by Exit: Kiosk failed once in 60 minutes"}));
}

TEST_F(EscalationTest, TheScheduledRestartIsSkippedWhileLaunchingIsPausedAndComesOnItsDayOtherwise) {
    // The fake's clock reads 2026-01-02 03:04:07 now, a Friday.
    RebootAt(3 * 60 + 5);
    engine.PauseLaunching();
    Seconds(60);
    EXPECT_EQ(Details(L"", L"held"), std::vector<std::wstring>{L"the restart scheduled at 03:05 is skipped: launching is paused"});
    EXPECT_FALSE(engine.EscalationNotice());
    engine.LaunchPrograms();
    RebootAt(3 * 60 + 7, RebootDaysFrom(L"Thu"));
    EXPECT_NE(StatusJson(engine.Snapshot()).find(L"\"nextReboot\": \"2026-01-08T03:07:00"), std::wstring::npos);
    Seconds(120);
    EXPECT_FALSE(engine.EscalationNotice());  // 03:07 went by: not a Thursday
    RebootAt(3 * 60 + 9, RebootDaysFrom(L"Mon, friday"));
    Seconds(120);
    ASSERT_TRUE(engine.EscalationNotice());
    std::wstring const text = engine.EscalationNotice()->text;  // begun at 03:09:00, a few seconds ago
    EXPECT_TRUE(text.starts_with(L"Vigilon restarts this PC in 5")) << text;
    EXPECT_TRUE(text.ends_with(L" s: the restart scheduled at 03:09.")) << text;
}

TEST_F(EscalationTest, TheScheduledRestartTurnedOffAndOnAgainDoesNotComeForATimeGoneByMeanwhile) {
    // The fake's clock reads 03:04:07 now: 03:05 goes by while RebootAt is off.
    RebootAt(3 * 60 + 5);
    Seconds(2);
    engine.SetEscalation(EscalationOptions{});
    Seconds(120);
    RebootAt(3 * 60 + 5);
    Seconds(2);
    EXPECT_FALSE(engine.EscalationNotice());
}

}  // namespace
}  // namespace vigilon
