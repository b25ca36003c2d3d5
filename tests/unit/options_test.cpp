#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>
#include <set>
#include <sstream>

#include "app/key_value.h"
#include "app/logon_start.h"
#include "app/options.h"
#include "app/setting_source.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_profile_store.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system_services.h"
#include "ui/options_logic.h"

namespace vigilon {
namespace {

constexpr wchar_t kIni[] = L"C:\\V\\vigilon.ini";
constexpr wchar_t kExe[] = L"C:\\V\\vigilon.exe";

class OptionsTest : public ::testing::Test {
protected:
    testing::FakeProfileStore store;
    testing::FakeRegistry registry;
    testing::FakeSystemServices system;
    SettingsFile settings{store, kIni};
};

TEST_F(OptionsTest, TrayNoticesOnlyForTray) {
    EXPECT_FALSE(LoadOptions(settings, registry).trayNotices);
    for (wchar_t const* value : {L"Box", L"Balloon", L""}) {
        store.Set(kIni, L"Apps", L"Notices", value);
        EXPECT_FALSE(LoadOptions(settings, registry).trayNotices) << value;
    }
    store.Set(kIni, L"Apps", L"Notices", L"tray");
    EXPECT_TRUE(LoadOptions(settings, registry).trayNotices);
}

TEST_F(OptionsTest, BackoffOnlyForOneAndHangSecondsAreOffOrAtLeastFive) {
    EXPECT_FALSE(LoadOptions(settings, registry).backoff);
    store.Set(kIni, L"Apps", L"Backoff", L"1");
    EXPECT_TRUE(LoadOptions(settings, registry).backoff);
    struct Case {
        wchar_t const* text;
        int seconds;
    };
    for (Case const c : {Case{L"", 0}, Case{L"0", 0}, Case{L"-7", 0}, Case{L"abc", 0}, Case{L"3", 5}, Case{L" 12 ", 12},
                         Case{L"99999999999999", kMaxHangSeconds}}) {
        store.Set(kIni, L"Apps", L"HangSeconds", c.text);
        EXPECT_EQ(LoadOptions(settings, registry).hangSeconds, c.seconds) << c.text;
    }
}

TEST_F(OptionsTest, HeartbeatSecondsAreSixtyUnlessGivenAndHeldToTenTo3600AndAPolicyUrlIsNotWrittenOut) {
    struct Case {
        wchar_t const* text;
        int seconds;
    };
    for (Case const c : {Case{L"", 60}, Case{L"abc", 60}, Case{L"-5", 60}, Case{L"0", 10}, Case{L"3", 10},
                         Case{L" 45 ", 45}, Case{L"99999999999999", 3600}}) {
        store.Set(kIni, L"Apps", L"HeartbeatSeconds", c.text);
        EXPECT_EQ(LoadOptions(settings, registry).heartbeatSeconds, c.seconds) << c.text;
    }
    store.Set(kIni, L"Apps", L"HeartbeatUrl", L"https://hc.example.com/ping/file");
    EXPECT_EQ(LoadOptions(settings, registry).heartbeatUrl, L"https://hc.example.com/ping/file");
    registry.SetString(RegistryRoot::LocalMachine, kPolicyKeyPath, L"HeartbeatUrl", L"https://hc.example.com/ping/secret");
    registry.SetDword(RegistryRoot::LocalMachine, kPolicyKeyPath, L"HeartbeatSeconds", 5);  // out of range: passed over
    Options const options = LoadOptions(settings, registry);
    EXPECT_EQ(options.heartbeatUrl, L"https://hc.example.com/ping/secret");
    EXPECT_TRUE(options.locked.heartbeatUrl);
    EXPECT_FALSE(options.locked.heartbeatSeconds);
    std::wstring const summary = PolicySummary(settings, registry);
    EXPECT_NE(summary.find(L"HeartbeatUrl (machine policy)"), std::wstring::npos) << summary;
    EXPECT_EQ(summary.find(L"secret"), std::wstring::npos) << summary;
}

TEST(HangSecondsBox, TakesWholeSecondsFromFiveTo3600AndRefusesAnythingElse) {
    EXPECT_EQ(ChooseHangSeconds(false, L"abc").seconds, 0);  // the row is off: the box does not count
    EXPECT_TRUE(ChooseHangSeconds(false, L"abc").refusal.empty());
    for (auto const [typed, seconds] : {std::pair{L"5", 5}, {L" 20 ", 20}, {L"3600", 3600}}) {
        EXPECT_EQ(ChooseHangSeconds(true, typed).seconds, seconds) << typed;
        EXPECT_TRUE(ChooseHangSeconds(true, typed).refusal.empty()) << typed;
    }
    for (wchar_t const* typed : {L"", L"abc", L"0", L"4", L"3601", L"99999", L"3x", L"1.5", L"-7", L"0000000000005"}) {
        EXPECT_EQ(ChooseHangSeconds(true, typed).refusal,
                  L"Restart a program that stops responding for: type a whole number of seconds from 5 to 3600.")
            << typed;
    }
}

class LogonTest : public OptionsTest {
protected:
    std::wstring Run() {
        std::wstring value;
        return GetKeyValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, value) ? value : L"-";
    }
    void SetRun(std::wstring const& value) {
        registry.SetString(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, value);
    }
    void DisableInTaskManager() {
        registry.SetBytes(RegistryRoot::CurrentUser, kStartupApprovedPath, kRunValueName, kRegBinary,
                          {3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    }
    LogonStart Read() { return ReadLogonStart(registry, files, kExe); }
    testing::FakeFileSystem files;
};

TEST_F(LogonTest, TheBoxIsTickedOnlyWhenThisCopyStartsAndIsNotDisabled) {
    EXPECT_FALSE(Read().Enabled());
    SetRun(L"\"c:\\v\\VIGILON.exe\"");
    EXPECT_TRUE(Read().Enabled());
    EXPECT_EQ(LogonStartNote(Read()), L"");
    DisableInTaskManager();
    EXPECT_FALSE(Read().Enabled());
    EXPECT_EQ(LogonStartNote(Read()), L"Disabled in Task Manager's Startup tab; ticking the box enables it again.");

    // Another copy, here or gone: unticked, and the dialog says which program starts.
    files.AddFile(L"D:\\Portable\\vigilon.exe");
    SetRun(L"\"D:\\Portable\\vigilon.exe\" /x");
    EXPECT_FALSE(Read().Enabled());
    EXPECT_EQ(LogonStartNote(Read()),
              L"Now started at logon: D:\\Portable\\vigilon.exe. Ticking the box starts this copy instead.");
    registry.SetString(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, L"%TOOLS%\\vigilon.exe", kRegExpandSz);
    EXPECT_EQ(LogonStartNote(Read()),
              L"Now started at logon: a value Vigilon cannot read. Ticking the box starts this copy instead.");
    SetRun(L"E:\\Old Copy\\vigilon.exe");
    EXPECT_EQ(LogonStartNote(Read()), L"Now started at logon: E:\\Old Copy\\vigilon.exe (no longer there). "
                                      L"Ticking the box starts this copy instead.");
}

TEST_F(LogonTest, OkWritesTheRunValueOnlyWhenTheBoxWasChanged) {
    SetRun(L"\"D:\\Portable\\vigilon.exe\"");
    DisableInTaskManager();
    // Another change in the dialog leaves another copy's value, and its state, alone.
    EXPECT_TRUE(AcceptOptions({true, false, 0}, std::nullopt, settings, registry, system, kExe));
    EXPECT_EQ(Run(), L"\"D:\\Portable\\vigilon.exe\"");
    EXPECT_TRUE(Read().disabled);

    // Ticking replaces it with this copy, enabled; unticking deletes this copy's value.
    EXPECT_TRUE(AcceptOptions({}, true, settings, registry, system, kExe));
    EXPECT_EQ(Run(), L"\"C:\\V\\vigilon.exe\"");
    EXPECT_TRUE(Read().Enabled());
    EXPECT_TRUE(AcceptOptions({}, false, settings, registry, system, kExe));
    EXPECT_EQ(Run(), L"-");
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(OptionsTest, AcceptingWritesAtOnceAndReportsWhatFailed) {
    EXPECT_TRUE(AcceptOptions({true, true, 12}, std::nullopt, settings, registry, system, kExe));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"Backoff", L""), L"1");
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"HangSeconds", L""), L"12");
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"Notices", L""), L"Tray");
    EXPECT_TRUE(AcceptOptions({false, false}, std::nullopt, settings, registry, system, kExe));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"Notices", L""), L"Box");
    EXPECT_TRUE(system.messages.empty());

    store.FailWrites(kIni);
    registry.DenyWriteAccess(RegistryRoot::CurrentUser, kRunKeyPath);
    EXPECT_FALSE(AcceptOptions({true, true}, true, settings, registry, system, kExe));
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_NE(system.messages[0].text.find(L"could not be saved to C:\\V\\vigilon.ini"), std::wstring::npos);
}

TEST_F(LogonTest, TheInstallerForgetsOnlyThisCopysLogonStartAndReplacesOnlyAMissingOne) {
    EXPECT_TRUE(ForgetStartAtLogon(registry, kExe));  // nothing to forget
    files.AddFile(L"D:\\Portable\\vigilon.exe");
    SetRun(L"\"D:\\Portable\\vigilon.exe\"");
    EXPECT_TRUE(ForgetStartAtLogon(registry, kExe));
    EXPECT_EQ(Run(), L"\"D:\\Portable\\vigilon.exe\"");
    for (std::wstring const value : {L"\"c:\\v\\VIGILON.exe\"", L"C:\\V\\vigilon.exe"}) {
        SetRun(value);
        EXPECT_TRUE(ForgetStartAtLogon(registry, kExe)) << value;
        EXPECT_EQ(Run(), L"-") << value;
    }
    EXPECT_TRUE(SetStartAtLogonIfMissing(registry, files, kExe));
    EXPECT_EQ(Run(), L"\"C:\\V\\vigilon.exe\"");
    // /register keeps another copy that is there, and replaces one whose file is gone.
    SetRun(L"D:\\Portable\\vigilon.exe");
    EXPECT_TRUE(SetStartAtLogonIfMissing(registry, files, kExe));
    EXPECT_EQ(Run(), L"D:\\Portable\\vigilon.exe");
    SetRun(L"\"E:\\Gone\\vigilon.exe\"");
    EXPECT_TRUE(SetStartAtLogonIfMissing(registry, files, kExe));
    EXPECT_EQ(Run(), L"\"C:\\V\\vigilon.exe\"");
}

TEST_F(OptionsTest, AnAdministratorsPolicyWinsAndIsNeverWrittenToTheFile) {
    store.Set(kIni, L"Apps", L"HangSeconds", L"60");
    store.Set(kIni, L"Apps", L"Backoff", L"1");
    registry.SetDword(RegistryRoot::CurrentUser, kPolicyKeyPath, L"HangSeconds", 20);
    registry.SetDword(RegistryRoot::LocalMachine, kPolicyKeyPath, L"HangSeconds", 10);  // the machine's wins
    registry.SetString(RegistryRoot::CurrentUser, kPolicyKeyPath, L"OnEvent", L"notify.cmd");
    Options options = LoadOptions(settings, registry);
    EXPECT_EQ(options.hangSeconds, 10);
    EXPECT_EQ(options.onEvent, L"notify.cmd");
    EXPECT_TRUE(options.backoff);  // from the file
    EXPECT_TRUE(options.locked.hangSeconds);
    EXPECT_TRUE(options.locked.onEvent);
    EXPECT_FALSE(options.locked.backoff);
    EXPECT_EQ(PolicySummary(settings, registry), L"HangSeconds=10 (machine policy), OnEvent (user policy)");
    // A URL, like a command line, may hold a token: the start line names it and shows nothing of it.
    registry.SetString(RegistryRoot::LocalMachine, kPolicyKeyPath, L"HeartbeatUrl", L"https://hc.example.com/ping/t0ken");
    EXPECT_EQ(PolicySummary(settings, registry),
              L"HangSeconds=10 (machine policy), OnEvent (user policy), HeartbeatUrl (machine policy)");
    registry.DeleteValue(RegistryRoot::LocalMachine, kPolicyKeyPath, L"HeartbeatUrl");
    // A value Vigilon cannot use is passed over, the next place read, and the start line says why.
    registry.SetString(RegistryRoot::LocalMachine, kPolicyKeyPath, L"Backoff", L"yes");
    registry.SetDword(RegistryRoot::LocalMachine, kPolicyKeyPath, L"HangSeconds", 3);
    options = LoadOptions(settings, registry);
    EXPECT_TRUE(options.backoff);  // the file's
    EXPECT_FALSE(options.locked.backoff);
    EXPECT_EQ(options.hangSeconds, 20);  // the user's policy
    EXPECT_EQ(PolicySummary(settings, registry),
              L"Backoff=yes (machine policy) ignored: not 0 or 1, HangSeconds=3 (machine policy) ignored: not 0 or "
              L"a whole number of seconds from 5 to 3600, HangSeconds=20 (user policy), OnEvent (user policy)");
    registry.SetDword(RegistryRoot::LocalMachine, kPolicyKeyPath, L"HangSeconds", 10);
    registry.SetString(RegistryRoot::LocalMachine, kPolicyKeyPath, L"Backoff", L"1");
    // A value of a type no policy has is passed over; a string's extra terminators are not part of it.
    registry.SetBytes(RegistryRoot::LocalMachine, kPolicyKeyPath, L"Backoff", kRegBinary, {1, 0, 0, 0});
    EXPECT_FALSE(LoadOptions(settings, registry).locked.backoff);
    registry.SetBytes(RegistryRoot::LocalMachine, kPolicyKeyPath, L"Notices", kRegSz,
                      {'T', 0, 'r', 0, 'a', 0, 'y', 0, 0, 0, 0, 0});
    EXPECT_TRUE(LoadOptions(settings, registry).trayNotices);
    registry.DeleteValue(RegistryRoot::LocalMachine, kPolicyKeyPath, L"Notices");
    registry.DeleteValue(RegistryRoot::LocalMachine, kPolicyKeyPath, L"Backoff");

    options.backoff = false;
    options.hangSeconds = 99;
    EXPECT_TRUE(AcceptOptions(options, std::nullopt, settings, registry, system, kExe));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"Backoff", L""), L"0");
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"HangSeconds", L""), L"60");  // the file's own value stays
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"OnEvent", L"-"), L"-");
}

// The escalation rows: each taken only in its range, the first that is not refused by its row; a
// choice saved, reads back the same; a key at its default, or under a policy, is not written.
TEST_F(OptionsTest, TheEscalationRowsAreTakenInTheirRangesAndSavedButForAPolicysOwn) {
    EscalationChoice choice = ChooseEscalation(L" 30 ", L"2", L"0", L"4:30", L"mon, Fri");
    ASSERT_TRUE(choice.refusal.empty()) << choice.refusal;
    EXPECT_EQ(choice.options.minUptimeMinutes, 30);
    EXPECT_EQ(choice.options.maxReboots, 2);
    EXPECT_EQ(choice.options.noticeSeconds, 0);
    EXPECT_EQ(choice.options.rebootAt, 4 * 60 + 30);
    EXPECT_EQ(RebootDaysText(choice.options.rebootDays), L"Mon, Fri");
    EXPECT_FALSE(ChooseEscalation(L"15", L"3", L"60", L"", L"").options.rebootAt);  // empty: off, every day
    EXPECT_EQ(ChooseEscalation(L"4", L"3", L"60", L"", L"").refusal,
              L"Never within ... minutes of its start: not a whole number of minutes from 5 to 1440.");
    EXPECT_EQ(ChooseEscalation(L"15", L"0", L"60", L"", L"").refusedRow, 1);
    EXPECT_EQ(ChooseEscalation(L"15", L"3", L"601", L"", L"").refusedRow, 2);
    EXPECT_EQ(ChooseEscalation(L"15", L"3", L"60", L"24:00", L"").refusedRow, 3);
    EXPECT_EQ(ChooseEscalation(L"15", L"3", L"60", L"", L"Funday").refusedRow, 4);

    registry.SetDword(RegistryRoot::LocalMachine, kPolicyKeyPath, L"MaxReboots", 1);
    Options options = LoadOptions(settings, registry);
    options.escalation = choice.options;
    ASSERT_TRUE(AcceptOptions(options, std::nullopt, settings, registry, system, kExe));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"MaxReboots", L"-"), L"-");  // the policy's
    Options const read = LoadOptions(settings, registry);
    EXPECT_EQ(read.escalation.minUptimeMinutes, 30);
    EXPECT_EQ(read.escalation.noticeSeconds, 0);
    EXPECT_EQ(read.escalation.rebootAt, choice.options.rebootAt);
    EXPECT_EQ(read.escalation.rebootDays, choice.options.rebootDays);
    options.escalation = EscalationOptions{};
    ASSERT_TRUE(AcceptOptions(options, std::nullopt, settings, registry, system, kExe));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"RebootAt", L"-"), L"-");
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"MinUptime", L"-"), L"-");
}

// The displays' row: ticked, the file says DisplayOff=Hours; unticked, the key goes, as for the
// other keys that are off unless set; under a policy, the file is left as it is.
TEST_F(OptionsTest, TheDisplaysRowWritesHoursOrRemovesTheKeyButForAPolicysOwn) {
    Options options = LoadOptions(settings, registry);
    EXPECT_FALSE(options.displayOff);
    Options const before = options;
    options.displayOff = true;
    EXPECT_EQ(ChangedOptions(before, options), L"DisplayOff=Hours");
    ASSERT_TRUE(AcceptOptions(options, std::nullopt, settings, registry, system, kExe));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"DisplayOff", L"-"), L"Hours");
    EXPECT_TRUE(LoadOptions(settings, registry).displayOff);
    options.displayOff = false;
    ASSERT_TRUE(AcceptOptions(options, std::nullopt, settings, registry, system, kExe));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"DisplayOff", L"-"), L"-") << "removed, not left empty";

    store.Set(kIni, L"Apps", L"DisplayOff", L"hours");
    registry.SetString(RegistryRoot::LocalMachine, kPolicyKeyPath, L"DisplayOff", L"");
    options = LoadOptions(settings, registry);
    EXPECT_TRUE(options.locked.displayOff);
    EXPECT_FALSE(options.displayOff) << "the policy's empty value wins over the file's";
    ASSERT_TRUE(AcceptOptions(options, std::nullopt, settings, registry, system, kExe));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"DisplayOff", L"-"), L"hours") << "the file's own value stays";
}

TEST(OptionsBrowse, AChosenScriptBecomesACommandThatRunsIt) {
    EXPECT_EQ(CommandForChosenFile(L"C:\\Tools\\tell.cmd", L"C:\\Windows\\System32"), L"\"C:\\Tools\\tell.cmd\"");
    // PowerShell by its full path: by its bare name, a powershell.exe in the current folder would run.
    EXPECT_EQ(CommandForChosenFile(L"C:\\My Tools\\Mail.PS1", L"C:\\Windows\\System32"),
              L"\"C:\\Windows\\System32\\WindowsPowerShell\\v1.0\\powershell.exe\" -NoProfile -NonInteractive -File "
              L"\"C:\\My Tools\\Mail.PS1\"");
}

// The administrative template sets exactly the values Vigilon reads as policies.
TEST(AdministrativeTemplate, EveryPolicyIsOneVigilonReads) {
    std::ifstream file(VIGILON_SOURCE_DIR "/policy/vigilon.admx");
    ASSERT_TRUE(file) << "the template is missing";
    std::stringstream text;
    text << file.rdbuf();
    std::set<std::string> inTemplate;
    std::string const admx = text.str();
    for (std::size_t at = admx.find("valueName=\""); at != std::string::npos; at = admx.find("valueName=\"", at + 1)) {
        std::size_t const begin = at + 11;
        inTemplate.insert(admx.substr(begin, admx.find('"', begin) - begin));
    }
    std::set<std::string> read;
    for (std::wstring_view const key : PolicyKeys()) read.insert(std::string(key.begin(), key.end()));
    EXPECT_EQ(inTemplate, read);
    EXPECT_NE(admx.find("key=\"Software\\Policies\\Vigilon\""), std::string::npos);
}

}  // namespace
}  // namespace vigilon
