#include <gtest/gtest.h>

#include "app/restart_rules.h"
#include "app/settings.h"
#include "engine/rules/daily_schedule.h"
#include "fakes/fake_profile_store.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system_services.h"
#include "support/local_time.h"
#include "ui/restart_rules_logic.h"

namespace vigilon {
namespace {

TEST(RestartRules, ValuesAreReadStrictlyAndAnythingElseIsRefusedWithAReason) {
    EXPECT_EQ(ParseMemoryLimit(L" 500 ").value, 500);
    EXPECT_FALSE(ParseMemoryLimit(L"").value);
    EXPECT_TRUE(ParseMemoryLimit(L"").problem.empty());  // no key: the rule is off, and nothing to say
    for (wchar_t const* text : {L"0", L"-5", L"12MB", L"1.5", L"abc", L"99999999"}) {
        EXPECT_FALSE(ParseMemoryLimit(text).value) << text;
        EXPECT_EQ(ParseMemoryLimit(text).problem, L"a whole number of megabytes from 1 to 1048576") << text;
    }

    EXPECT_EQ(ParseRestartTimes(L"3:30, 12:00,03:30").value, (std::vector<int>{210, 720}));
    EXPECT_EQ(ParseRestartTimes(L"00:00,23:59").value, (std::vector<int>{0, 1439}));
    for (wchar_t const* text : {L"25:00", L"3:7", L"12:60", L"noon", L"3:30,", L"1230", L":30"}) {
        EXPECT_FALSE(ParseRestartTimes(text).value) << text;
        EXPECT_FALSE(ParseRestartTimes(text).problem.empty()) << text;
    }
    EXPECT_EQ(FormatRestartTimes({210, 720}), L"03:30, 12:00");

    EXPECT_EQ(ParseCrashDialog(L"0").value, false);
    EXPECT_FALSE(ParseCrashDialog(L"1").value);
    EXPECT_FALSE(ParseCrashDialog(L"").value);
    EXPECT_FALSE(ParseCrashDialog(L"no").problem.empty());
}

TEST(RestartRules, WindowAndStartKeysTakeTheirWordsInAnyCaseAndRefuseTheRest) {
    EXPECT_EQ(ParseShowAs(L" maximized ").value, ShowAs::Maximized);
    EXPECT_EQ(ParseShowAs(L"FULLSCREEN").value, ShowAs::FullScreen);
    EXPECT_EQ(ParseShowAs(L"Maximised").value, ShowAs::Maximized);  // as prose spells it
    EXPECT_EQ(ParseShowAs(L"fullscreen").value, ShowAs::FullScreen);
    EXPECT_FALSE(ParseShowAs(L"").value);
    EXPECT_FALSE(ParseShowAs(L"Max").problem.empty());
    EXPECT_EQ(ShowAsWord(ShowAs::FullScreen), L"FullScreen");

    EXPECT_EQ(ParseMonitor(L"PRIMARY").value, std::wstring(kPrimaryMonitor));
    EXPECT_EQ(ParseMonitor(L" \\\\?\\DISPLAY#DEL1 ").value, L"\\\\?\\DISPLAY#DEL1");
    EXPECT_EQ(ParseOnTop(L"1").value, true);
    EXPECT_FALSE(ParseOnTop(L"0").value);
    EXPECT_FALSE(ParseOnTop(L"yes").problem.empty());

    EXPECT_EQ(ParseStartDelay(L"0").value, 0);
    EXPECT_EQ(ParseStartDelay(L"3600").value, 3600);
    EXPECT_FALSE(ParseStartDelay(L"3601").value);
    EXPECT_FALSE(ParseStartDelay(L"-1").problem.empty());
    EXPECT_EQ(ParseWaitSeconds(L"").value, kDefaultWaitSeconds);  // not set: the default wait
    EXPECT_FALSE(ParseWaitSeconds(L"0").value);

    EXPECT_EQ(ParseRestartWhen(L"failure").value, RestartWhen::Failure);
    EXPECT_FALSE(ParseRestartWhen(L"").value);
    EXPECT_FALSE(ParseRestartWhen(L"Never").problem.empty());
}

TEST(RestartRules, WaitForTellsAPathFromAHostAndPort) {
    EXPECT_EQ(ParseWaitFor(L"C:\\data").value, (WaitTarget{L"C:\\data", {}, 0}));
    EXPECT_EQ(ParseWaitFor(L"\\\\server\\share\\file").value, (WaitTarget{L"\\\\server\\share\\file", {}, 0}));
    EXPECT_EQ(ParseWaitFor(L"db.local:1433").value, (WaitTarget{{}, L"db.local", 1433}));
    EXPECT_EQ(ParseWaitFor(L"[::1]:8080").value, (WaitTarget{{}, L"::1", 8080}));
    // A drive letter is not a host, a port must be one, and a relative path depends on where Vigilon runs.
    for (wchar_t const* text : {L"C:80", L"server:0", L"server:70000", L"data\\file", L"::1:80"}) {
        EXPECT_FALSE(ParseWaitFor(text).value) << text;
        EXPECT_FALSE(ParseWaitFor(text).problem.empty()) << text;
    }
}

// A day of passes a minute apart from `from` (hour, minute) to `to`, on 2026-03-29.
int Firings(DailySchedule& schedule, std::vector<int> const& times, int fromMinute, int toMinute, int day = 29) {
    int fired = 0;
    for (int m = fromMinute; m <= toMinute; ++m) {
        fired += schedule.Due(LocalTime{2026, 3, day, m / 60, m % 60, 0, 0}, times) ? 1 : 0;
    }
    return fired;
}

TEST(RestartRules, CheckTellsItsKindsApartAndItsTimingKeepsItsRanges) {
    EXPECT_EQ(ParseHealthCheck(L" HTTP://127.0.0.1:8080/health ").value,
              (HealthCheck{CheckKind::Http, L"HTTP://127.0.0.1:8080/health", 0}));
    EXPECT_EQ(ParseHealthCheck(L"tcp:db.local:1433").value, (HealthCheck{CheckKind::Tcp, L"db.local", 1433}));
    EXPECT_EQ(ParseHealthCheck(L"file: %ProgramData%\\beat.txt").value,
              (HealthCheck{CheckKind::File, L"%ProgramData%\\beat.txt", 0}));
    EXPECT_EQ(ParseHealthCheck(L"Window:Connection lost").value, (HealthCheck{CheckKind::Window, L"Connection lost", 0}));
    EXPECT_EQ(ParseHealthCheck(L"run:\"C:\\Tools\\probe.exe\" -q").value,
              (HealthCheck{CheckKind::Run, L"\"C:\\Tools\\probe.exe\" -q", 0}));
    EXPECT_TRUE(ParseHealthCheck(L"").problem.empty());
    for (wchar_t const* text : {L"http://", L"https:///x", L"tcp:db", L"tcp:db:99999", L"file:beat.txt", L"window:",
                                L"run:probe.exe", L"ftp://host", L"127.0.0.1:80"}) {
        EXPECT_FALSE(ParseHealthCheck(text).value) << text;
        EXPECT_FALSE(ParseHealthCheck(text).problem.empty()) << text;
    }

    // Each timing key has its default when not set, and refuses what is out of its range.
    EXPECT_EQ(ParseCheckSeconds(L"").value, 30);
    EXPECT_EQ(ParseCheckTimeout(L"").value, 10);
    EXPECT_EQ(ParseCheckGrace(L"0").value, 0);
    EXPECT_EQ(ParseCheckFailures(L"").value, 3);
    EXPECT_FALSE(ParseCheckAge(L"").value);
    for (auto const& [parse, text] : {std::pair{&ParseCheckSeconds, L"4"}, {&ParseCheckTimeout, L"121"},
                                       {&ParseCheckGrace, L"3601"}, {&ParseCheckFailures, L"0"}, {&ParseCheckAge, L"0"}}) {
        EXPECT_FALSE(parse(text).value) << text;
        EXPECT_FALSE(parse(text).problem.empty()) << text;
    }
    EXPECT_EQ(ParseCheckAction(L"report").value, CheckAction::Report);
    EXPECT_EQ(ParseCheckAction(L"").value, CheckAction::Restart);
    EXPECT_FALSE(ParseCheckAction(L"Reboot").value);
}

TEST(DailySchedule, EachTimeOnceADayNeitherCaughtUpNorTwiceWhenTheClockGoesBack) {
    std::vector<int> const threeThirty{210};
    DailySchedule schedule;
    EXPECT_EQ(Firings(schedule, threeThirty, 200, 240), 1);
    // The clock goes back an hour (daylight saving ends): 3:30 comes round again, and is not done.
    EXPECT_EQ(Firings(schedule, threeThirty, 180, 240), 0);
    // The next day it is.
    EXPECT_EQ(Firings(schedule, threeThirty, 200, 240, 30), 1);

    // Started a minute after the time (Vigilon restarted): not done again today.
    DailySchedule restarted;
    EXPECT_EQ(Firings(restarted, threeThirty, 211, 300), 0);
    // Asleep over the time, woken much later: skipped, not done late.
    DailySchedule asleep;
    EXPECT_EQ(Firings(asleep, threeThirty, 200, 205), 0);
    EXPECT_FALSE(asleep.Due(LocalTime{2026, 3, 29, 9, 0, 0, 0}, threeThirty));
    // A time just before midnight, looked at just after.
    DailySchedule midnight;
    EXPECT_FALSE(midnight.Due(LocalTime{2026, 3, 29, 23, 58, 0, 0}, {1439}));
    EXPECT_TRUE(midnight.Due(LocalTime{2026, 3, 30, 0, 0, 0, 0}, {1439}));
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1), 11017);
}

class RulesDialogTest : public ::testing::Test {
protected:
    static constexpr wchar_t kIni[] = L"C:\\V\\vigilon.ini";
    RulesDialogTest() {
        programs.Reset(0, 5);
        programs.Add(L"Kiosk");
        programs[1].added = false;  // as read from the file
    }
    std::wstring Key(wchar_t const* key) { return file.ReadIniValue(L"Kiosk", key, L"-"); }

    testing::FakeProfileStore store;
    testing::FakeSystemServices system;
    SettingsFile file{store, kIni};
    WatchedPrograms programs;
};

// Cancel in the editor would otherwise leave the new program's section behind in the file.
TEST_F(RulesDialogTest, RulesOfANewProgramNotSavedYetWaitForSave) {
    programs[programs.Add(L"Fresh")].caption = L"Fresh - ";
    RestartRules rules;
    rules.maxMemoryMB = L"500";
    ASSERT_TRUE(AcceptRestartRules(programs, 2, rules, file, system));
    EXPECT_FALSE(store.Has(kIni));  // nothing written
    EXPECT_EQ(programs[2].rules, rules);
    ASSERT_TRUE(SaveSettings(file, programs));
    EXPECT_EQ(file.ReadIniValue(L"Fresh", kMaxMemoryKey, L"-"), L"500");
}

TEST_F(RulesDialogTest, OkWritesTheKeysAtOnceAndInputThatCannotBeUsedIsRefusedByItsRow) {
    RestartRulesChoice const chosen = RulesFromForm({true, L"500", true, L"15:00, 3:30", true}, {});
    ASSERT_TRUE(chosen.refusal.empty());
    ASSERT_TRUE(AcceptRestartRules(programs, 1, chosen.rules, file, system));
    EXPECT_EQ(Key(kMaxMemoryKey), L"500");
    EXPECT_EQ(Key(kRestartAtKey), L"03:30, 15:00");
    EXPECT_EQ(Key(kCrashDialogKey), L"0");
    EXPECT_EQ(programs[1].rules, chosen.rules);  // in force from the next pass

    EXPECT_EQ(RulesFromForm({true, L"5a", false, L"", false}, {}).refusal,
              L"Restart when its memory stays above: type a whole number of megabytes from 1 to 1048576.");
    EXPECT_EQ(RulesFromForm({false, L"", true, L"25:00", false}, {}).refusal,
              L"Restart every day at: type times of day from 0:00 to 23:59 as hh:mm, separated by commas, for "
              L"example 03:30, 15:00.");
    // A box whose row is unticked does not count.
    EXPECT_TRUE(RulesFromForm({false, L"5a", false, L"25:00", false}, {}).refusal.empty());

    // Rules turned off leave no keys; a write that fails is told, and the table keeps its rules.
    ASSERT_TRUE(AcceptRestartRules(programs, 1, {}, file, system));
    EXPECT_EQ(Key(kMaxMemoryKey), L"-");
    EXPECT_EQ(Key(kRestartAtKey), L"-");
    EXPECT_TRUE(system.messages.empty());
    store.FailWrites(kIni);
    EXPECT_FALSE(AcceptRestartRules(programs, 1, chosen.rules, file, system));
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find(L"could not be saved to C:\\V\\vigilon.ini"), std::wstring::npos);
    EXPECT_EQ(programs[1].rules, RestartRules{});
}

// One table serves loading and saving: each key must go through the field of its own name.
TEST_F(RulesDialogTest, EachKeyIsWrittenFromAndReadIntoItsOwnField) {
    RestartRules const rules{.maxMemoryMB = L"MaxMemoryMB", .restartAt = L"RestartAt", .crashDialog = L"CrashDialog",
                             .show = L"Show", .monitor = L"Monitor", .onTop = L"OnTop", .startDelay = L"StartDelay",
                             .startAfter = L"StartAfter", .waitFor = L"WaitFor", .waitSeconds = L"WaitSeconds",
                             .restart = L"Restart", .check = L"Check", .checkText = L"CheckText",
                             .checkAge = L"CheckAge", .checkSeconds = L"CheckSeconds", .checkTimeout = L"CheckTimeout",
                             .checkGrace = L"CheckGrace", .checkFailures = L"CheckFailures", .checkAction = L"CheckAction",
                             .window = L"Window", .process = L"Process", .windowClass = L"Class", .captionMatch = L"CaptionMatch",
                             .escalate = L"Escalate", .escalateMinutes = L"EscalateMinutes",
                             .hours = L"Hours", .idleRestart = L"IdleRestart"};
    ASSERT_TRUE(SaveRestartRules(file, L"Kiosk", rules, true));
    for (RuleKey const& key : RuleKeys()) EXPECT_EQ(Key(key.name), key.name);
    EXPECT_EQ(LoadRestartRules(file, L"Kiosk"), rules);
}

TEST_F(RulesDialogTest, SavingKeepsAValueItCannotUseAndDropsTheRulesOfADeletedProgram) {
    store.Set(kIni, L"Apps", L"Number", L"1");
    store.Set(kIni, L"Apps", L"App1", L"Kiosk");
    store.Set(kIni, L"Kiosk", L"MaxMemoryMB", L"lots");
    store.Set(kIni, L"Kiosk", L"RestartAt", L"03:00");
    testing::FakeRegistry registry;
    ASSERT_FALSE(LoadSettings(file, registry, programs));
    EXPECT_EQ(programs[1].rules.maxMemoryMB, L"lots");
    EXPECT_TRUE(FormFromRules(programs[1].rules).memoryOn);  // shown as written, to be mended
    ASSERT_TRUE(SaveSettings(file, programs));
    EXPECT_EQ(Key(kMaxMemoryKey), L"lots");  // the user's text is never lost on a save
    // Nor in the dialog: a crash dialog value it cannot show stays when its row is left alone.
    RestartRules const odd{L"", L"", L"no"};
    EXPECT_EQ(RulesFromForm(FormFromRules(odd), odd).rules.crashDialog, L"no");

    // Deleted, and a new program added under the same name: it starts without rules.
    programs.Delete(1);
    programs.Add(L"Kiosk");
    ASSERT_TRUE(SaveSettings(file, programs));
    EXPECT_EQ(Key(kMaxMemoryKey), L"-");
    EXPECT_EQ(Key(kRestartAtKey), L"-");
}

}  // namespace
}  // namespace vigilon
