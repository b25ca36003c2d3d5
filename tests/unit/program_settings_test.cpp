#include <gtest/gtest.h>

#include <cwctype>

#include "app/options.h"
#include "app/setting_source.h"
#include "fakes/fake_profile_store.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system_services.h"
#include "ui/layout_table.h"
#include "ui/program_settings_logic.h"

namespace vigilon {
namespace {

constexpr wchar_t kIni[] = L"C:\\V\\vigilon.ini";

// Every key set to something other than its default: what the dialog shows, it writes back.
TEST(ProgramSettings, EveryKeyComesBackAsItWasAndDefaultsWriteNoKey) {
    RestartRules rules;
    rules.maxMemoryMB = L"800";
    rules.restartAt = L"04:00, 16:30";
    rules.crashDialog = L"0";
    rules.show = L"FullScreen";
    rules.monitor = L"\\\\?\\DISPLAY#DEL4093#5&1";
    rules.onTop = L"1";
    rules.startDelay = L"30";
    rules.startAfter = L"Server";
    rules.waitFor = L"\\\\files\\signage\\ready.txt";
    rules.waitSeconds = L"300";
    rules.restart = L"Failure";
    rules.check = L"https://localhost:8443/health";
    rules.checkText = L"ready";
    rules.checkSeconds = L"15";
    rules.checkTimeout = L"5";
    rules.checkGrace = L"0";
    rules.checkFailures = L"2";
    rules.checkAction = L"Report";
    rules.window = L"None";  // its window's rows kept, greyed, for the day it shows one again
    rules.captionMatch = L"End";
    rules.windowClass = L"SunAwtFrame";
    rules.process = L"C:\\Program Files\\Board\\board.exe";
    rules.hours = L"Mon-Fri 08:00-18:00; Sat 09:00-13:00";
    ProgramSettingsForm form = SettingsFormFromRules(rules);
    form.exe = L"C:\\Agent\\agent.exe";  // found by its process's file: the full path of an .exe
    ProgramSettingsChoice const back = RulesFromSettingsForm(form, rules);
    ASSERT_TRUE(back.refusal.empty()) << back.refusal;
    EXPECT_EQ(back.rules, rules);
    // IdleRestart, which a program without a window cannot take, comes back for one with a window.
    rules.window.clear();
    rules.idleRestart = L"10";
    ProgramSettingsChoice const idle = RulesFromSettingsForm(SettingsFormFromRules(rules), rules);
    ASSERT_TRUE(idle.refusal.empty()) << idle.refusal;
    EXPECT_EQ(idle.rules, rules);

    // Hidden, Always, no delay and no top: the defaults, written as no key.
    RestartRules defaults;
    defaults.show = L"hidden";
    defaults.restart = L"ALWAYS";
    defaults.startDelay = L"0";
    defaults.onTop = L"0";
    defaults.checkAction = L"restart";
    defaults.captionMatch = L"start";
    EXPECT_EQ(RulesFromSettingsForm(SettingsFormFromRules(defaults), defaults).rules, RestartRules{});
    // What the file holds that the dialog cannot use stays as written while its row is left alone.
    RestartRules odd;
    odd.show = L"Big";
    odd.onTop = L"yes";
    odd.restart = L"Never";
    odd.checkAction = L"Reboot";
    odd.captionMatch = L"Anywhere";
    // A row the check does not use takes no input, and keeps the file's text: an age for a window check.
    odd.check = L"window:Connection lost";
    odd.checkText = L"ready";
    odd.checkAge = L"soon";
    odd.checkSeconds = L"often";  // a box left as the file had it
    odd.window = L"Tray";
    EXPECT_EQ(RulesFromSettingsForm(SettingsFormFromRules(odd), odd).rules, odd);
    EXPECT_EQ(CheckActionChoices(L"Reboot").back(), (SettingsChoice{L"Reboot (cannot be used)", L"Reboot"}));
}

// The page's text takes input only for an http(s) check, the file's age only for a file check:
// what is typed there counts only then.
TEST(ProgramSettings, EachKindOfCheckUsesOnlyItsOwnRows) {
    EXPECT_TRUE(HealthRowsFor(L"HTTPS://kiosk.local/").text);
    EXPECT_FALSE(HealthRowsFor(L"http://kiosk.local/").age);
    EXPECT_TRUE(HealthRowsFor(L" file:%ProgramData%\\beat.txt").age);
    EXPECT_FALSE(HealthRowsFor(L"file:%ProgramData%\\beat.txt").text);
    for (wchar_t const* other : {L"", L"tcp:127.0.0.1:8080", L"window:Error", L"http://", L"file:beat.txt"}) {
        EXPECT_FALSE(HealthRowsFor(other).text || HealthRowsFor(other).age) << other;
    }
    ProgramSettingsForm form;
    form.health = {L"file:C:\\data\\beat.txt", L"typed before", L" 120 ", L"", L"", L"", L"", L""};
    RestartRules const file = RulesFromSettingsForm(form, {}).rules;
    EXPECT_EQ(file.checkAge, L"120");
    EXPECT_EQ(file.checkText, L"");
    form.health.check = L"http://127.0.0.1:8080/";
    RestartRules const http = RulesFromSettingsForm(form, {}).rules;
    EXPECT_EQ(http.checkText, L"typed before");
    EXPECT_EQ(http.checkAge, L"");
    // A window: check is judged at once: the time to give it up after is kept as the file had it.
    EXPECT_FALSE(HealthRowsFor(L"window:Error").timeout);
    EXPECT_TRUE(HealthRowsFor(L"tcp:127.0.0.1:8080").timeout);
    form.health.check = L"window:Connection lost";
    form.health.timeout = L"oops";
    RestartRules original;
    original.checkTimeout = L"20";
    ProgramSettingsChoice const window = RulesFromSettingsForm(form, original);
    EXPECT_TRUE(window.refusal.empty());
    EXPECT_EQ(window.rules.checkTimeout, L"20");
    form.health.timeout.clear();
    EXPECT_EQ(RulesFromSettingsForm(form, original).rules.checkTimeout, L"20");
}

TEST(ProgramSettings, InputThatCannotBeUsedIsRefusedByItsRow) {
    struct Case {
        void (*set)(ProgramSettingsForm&);
        SettingsRow row;
        wchar_t const* message;
        HealthRow health = HealthRow::None;
    };
    Case const cases[] = {
        {[](ProgramSettingsForm& f) { f.startDelay = L"3601"; }, SettingsRow::StartDelay,
         L"Delay the first start by: type a whole number of seconds from 0 to 3600."},
        {[](ProgramSettingsForm& f) { f.waitFor = L"server:70000"; }, SettingsRow::WaitFor,
         L"Wait for: type a path that must exist (C:\\data, \\\\server\\share\\file) or host:port (server:1433)."},
        {[](ProgramSettingsForm& f) { f.waitSeconds = L"0"; }, SettingsRow::WaitSeconds,
         L"Wait at most: type a whole number of seconds from 1 to 86400."},
        {[](ProgramSettingsForm& f) { f.hours = L"Mon-Fri 8-18"; }, SettingsRow::Hours,
         L"Run it only during these hours: type times as hh:mm-hh:mm from 00:00 to 24:00: \"8-18\" is not one."},
        {[](ProgramSettingsForm& f) { f.idleRestart = L"0"; }, SettingsRow::IdleRestart,
         L"Restart it after: type a whole number of minutes from 1 to 1440."},
        {[](ProgramSettingsForm& f) { f.process = L"bin\\board.exe"; }, SettingsRow::Process,
         L"Program file: type a full path (C:\\Tools\\app.exe) or a file name alone (app.exe)."},
        {[](ProgramSettingsForm& f) { f.restart = {true, L"5a", false, L"", false}; }, SettingsRow::MemoryLimit,
         L"Restart when its memory stays above: type a whole number of megabytes from 1 to 1048576."},
        {[](ProgramSettingsForm& f) { f.restart = {false, L"", true, L"25:00", false}; }, SettingsRow::RestartTimes,
         L"Restart every day at: type times of day from 0:00 to 23:59 as hh:mm, separated by commas, for example "
         L"03:30, 15:00."},
        {[](ProgramSettingsForm& f) { f.health.check = L"ftp://kiosk"; }, SettingsRow::Health,
         L"Check that it works: type http://..., https://..., tcp:host:port, file:<full path>, window:<caption text> "
         L"or run:<full path of a command>.", HealthRow::Check},
        {[](ProgramSettingsForm& f) { f.health = {L"file:C:\\beat.txt", L"", L"0"}; }, SettingsRow::Health,
         L"The file must be written within: type a whole number of seconds from 1 to 604800.", HealthRow::Age},
        {[](ProgramSettingsForm& f) { f.health.seconds = L"4"; }, SettingsRow::Health,
         L"Check every: type a whole number of seconds from 5 to 3600.", HealthRow::Seconds},
        {[](ProgramSettingsForm& f) { f.health.timeout = L"121"; }, SettingsRow::Health,
         L"Give a check up after: type a whole number of seconds from 1 to 120.", HealthRow::Timeout},
        {[](ProgramSettingsForm& f) { f.health.grace = L"3601"; }, SettingsRow::Health,
         L"After a start, wait: type a whole number of seconds from 0 to 3600.", HealthRow::Grace},
        {[](ProgramSettingsForm& f) { f.health.failures = L"0"; }, SettingsRow::Health,
         L"Act after: type a whole number of failures from 1 to 100.", HealthRow::Failures},
        // A program without a window is found by its process's file, and has no window to check.
        {[](ProgramSettingsForm& f) {
             f.noWindow = true;
             f.exe = L"agent.exe";
         },
         SettingsRow::NoWindow,
         L"It shows no window: EXE must be the full path of an .exe (C:\\Agent\\agent.exe): a program without a window "
         L"is found by its process's file, which a bare name, a relative path, a script or a shortcut never names."},
        {[](ProgramSettingsForm& f) {
             f.noWindow = true;
             f.exe = L"C:\\Agent\\agent.exe";
             f.health.check = L"window:Connection lost";
         },
         SettingsRow::Health,
         L"Check: a program that shows no window cannot be checked by a window; untick \"It shows no window\" or "
         L"check it another way.", HealthRow::Check},
        {[](ProgramSettingsForm& f) {
             f.noWindow = true;
             f.exe = L"C:\\Agent\\agent.exe";
             f.idleRestart = L"10";
         },
         SettingsRow::IdleRestart,
         L"Restart it after: a program that shows no window is never restarted for an idle PC; untick \"It shows no "
         L"window\" or empty the box."},
    };
    for (Case const& c : cases) {
        ProgramSettingsForm form;
        form.show = L"Maximized";
        c.set(form);
        ProgramSettingsChoice const choice = RulesFromSettingsForm(form, {});
        EXPECT_EQ(choice.refusal, c.message);
        EXPECT_EQ(choice.row, c.row) << c.message;
        EXPECT_EQ(choice.healthRow, c.health) << c.message;
        EXPECT_EQ(choice.rules, RestartRules{}) << c.message;  // nothing to write
    }
    // Greyed for a program without a window: the window's rows keep what the file has, usable or not.
    ProgramSettingsForm windowless;
    windowless.noWindow = true;
    windowless.exe = L"C:\\Agent\\agent.exe";
    windowless.process = L"typed\\agent.exe";
    RestartRules kept;
    kept.process = L"relative\\agent.exe";
    ProgramSettingsChoice const greyed = RulesFromSettingsForm(windowless, kept);
    EXPECT_TRUE(greyed.refusal.empty()) << greyed.refusal;
    EXPECT_EQ(greyed.rules.process, L"relative\\agent.exe");
    ProgramSettingsForm typed;
    typed.startDelay = L" 15 ";
    typed.waitFor = L" db.local:1433 ";
    typed.waitSeconds = L"60";
    ProgramSettingsChoice const taken = RulesFromSettingsForm(typed, {});
    EXPECT_EQ(taken.rules.startDelay, L"15");
    EXPECT_EQ(taken.rules.waitFor, L"db.local:1433");
    EXPECT_EQ(taken.rules.waitSeconds, L"60");
}

TEST(ProgramSettings, DropDownsOfferWhatCanBeChosenAndKeepWhatTheFileHolds) {
    std::vector<DisplayInfo> const displays{{L"id-1", L"\\\\.\\DISPLAY1", 0, 0, 1920, 1080, true},
                                            {L"id-2", L"\\\\.\\DISPLAY2", 1920, 0, 1280, 1024, false}};
    std::vector<SettingsChoice> const monitors = MonitorChoices(displays, L"PRIMARY");
    ASSERT_EQ(monitors.size(), 4u);
    EXPECT_EQ(monitors[3], (SettingsChoice{L"\\\\.\\DISPLAY2: 1280 x 1024 at 1920, 0", L"id-2"}));
    EXPECT_EQ(ChoiceIndex(monitors, L"PRIMARY"), 1);
    // A display not attached now stays chosen, so that the window goes back to it when it returns.
    std::vector<SettingsChoice> const away = MonitorChoices(displays, L"id-3");
    EXPECT_EQ(away.back(), (SettingsChoice{L"id-3 (not attached now)", L"id-3"}));
    EXPECT_EQ(ChoiceIndex(away, L"id-3"), 4);

    WatchedPrograms programs;
    programs.Reset(0, 5);
    for (wchar_t const* name : {L"Server", L"Kiosk", L"Player"}) programs.Add(name);
    std::vector<SettingsChoice> const after = StartAfterChoices(programs, 2, L"server");
    ASSERT_EQ(after.size(), 3u);  // none, Server, Player: never the program itself
    EXPECT_EQ(after[2].value, L"Player");
    EXPECT_EQ(ChoiceIndex(after, L"server"), 1);
    EXPECT_EQ(StartAfterChoices(programs, 2, L"Gone").back(), (SettingsChoice{L"Gone (not in the list)", L"Gone"}));

    EXPECT_EQ(ShowChoices(L"").size(), 4u);
    EXPECT_EQ(ShowChoices(L"Big").back().value, L"Big");
    // A spelling the rule takes shows as the dialog's own word, not as a value it cannot use.
    RestartRules british;
    british.show = L"maximised";
    EXPECT_EQ(SettingsFormFromRules(british).show, L"Maximized");
    EXPECT_EQ(ShowChoices(SettingsFormFromRules(british).show).size(), 4u);
    EXPECT_EQ(RestartWhenChoices(L"").back().value, L"Failure");
}

// Only an administrator's policy locks the settings: whoever can edit the file could unlock it.
TEST(ProgramSettings, OnlyAPolicyLocksTheSettings) {
    testing::FakeProfileStore store;
    testing::FakeRegistry registry;
    SettingsFile const settings{store, kIni};
    store.Set(kIni, L"Apps", L"LockSettings", L"1");
    EXPECT_FALSE(LoadOptions(settings, registry).settingsLocked);
    registry.SetString(RegistryRoot::CurrentUser, kPolicyKeyPath, L"LockSettings", L"yes");
    EXPECT_FALSE(LoadOptions(settings, registry).settingsLocked);  // passed over, and the file's does not count
    registry.SetDword(RegistryRoot::LocalMachine, kPolicyKeyPath, L"LockSettings", 1);
    EXPECT_TRUE(LoadOptions(settings, registry).settingsLocked);
    registry.SetDword(RegistryRoot::LocalMachine, kPolicyKeyPath, L"LockSettings", 0);
    EXPECT_FALSE(LoadOptions(settings, registry).settingsLocked);
}

// Each page's rows have access keys of their own (with the buttons under the pages), nothing on a
// page overlaps, and every page's control lies inside the tab control.
TEST(ProgramSettingsLayout, EachPageHasUniqueAccessKeysAndNothingOverlaps) {
    auto const layout = ProgramSettingsLayout();
    ControlPlacement const& tabs = layout.front().placement;
    ASSERT_EQ(tabs.id, kIdSettingsTabs);
    for (SettingsPage const page :
         {SettingsPage::Window, SettingsPage::Start, SettingsPage::Restart, SettingsPage::Health}) {
        std::wstring keys;
        int rows = 0;
        for (PagedPlacement const& a : layout) {
            if (a.page != page && a.page != SettingsPage::All) continue;
            ControlPlacement const& p = a.placement;
            std::wstring_view const text = p.text;
            if (p.kind == ControlKind::CheckBox || p.kind == ControlKind::KeyLabel) {
                ++rows;
                std::size_t const amp = text.find(L'&');
                ASSERT_NE(amp, std::wstring_view::npos) << p.id;
                wchar_t const key = static_cast<wchar_t>(std::towlower(text[amp + 1]));
                EXPECT_EQ(keys.find(key), std::wstring::npos) << p.id;
                keys += key;
            }
            EXPECT_LE(p.left + p.width, kSettingsWidth) << p.id;
            EXPECT_LE(p.top + p.height, kSettingsHeight) << p.id;
            if (a.page != SettingsPage::All) {
                EXPECT_TRUE(p.left >= tabs.left && p.top >= tabs.top && p.left + p.width <= tabs.left + tabs.width &&
                            p.top + p.height <= tabs.top + tabs.height)
                    << p.id;
            }
            for (PagedPlacement const& b : layout) {
                if (&a == &b || (b.page != page && b.page != SettingsPage::All) || b.placement.id == kIdSettingsTabs ||
                    p.id == kIdSettingsTabs) {
                    continue;
                }
                ControlPlacement const& q = b.placement;
                bool const apart = p.left + p.width <= q.left || q.left + q.width <= p.left ||
                                   p.top + p.height <= q.top || q.top + q.height <= p.top;
                EXPECT_TRUE(apart) << p.id << " and " << q.id;
            }
        }
        EXPECT_GE(rows, 3) << SettingsPageName(page);
    }
}

}  // namespace
}  // namespace vigilon
