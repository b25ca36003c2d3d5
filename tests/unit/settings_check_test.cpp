#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings_check.h"
#include "app/settings_validation.h"
#include "fakes/fake_profile_store.h"

namespace vigilon {
namespace {

// Each problem as DescribeProblem names it, in order.
std::vector<std::wstring> Said(std::wstring_view text) {
    std::vector<std::wstring> said;
    for (SettingsProblem const& problem : CheckSettingsText(text)) said.push_back(DescribeProblem(problem));
    return said;
}

// The text a user wrote for a kiosk, in ANSI with CR LF; the mistakes are the ones a new user made.
constexpr wchar_t kKioskFile[] =
    L"[Apps]\r\n"
    L"Number=4\r\n"
    L"App1=Kiosk\r\n"
    L"App2=Board\r\n"
    L"App3=Clock\r\n"
    L"App4=Notes\r\n"
    L"App5=Mines\r\n"
    L"Notice=Tray\r\n"
    L"; a comment, and a blank line\r\n"
    L"\r\n"
    L"[Kiosk]\r\n"
    L"Caption=Kiosk - \r\n"
    L"StratDelay=5\r\n"
    L"Show=Maximised\r\n"
    L"[Board]\r\n"
    L"Caption=Board\r\n"
    L"[Clock]\r\n"
    L"Caption=Clock\r\n"
    L"[Notes]\r\n"
    L"Caption=Notes\r\n"
    L"[Mines]\r\n"
    L"Caption=WineMine\r\n";

TEST(SettingsCheck, TheFirstHoursMistakesAreEachNamedWithTheirLineAndTheNearestKey) {
    EXPECT_EQ(Said(kKioskFile), (std::vector<std::wstring>{
                                    L"line 7 [Apps]: App5=Mines: beyond Number=4, so Mines is not watched",
                                    L"line 8 [Apps]: Notice: did you mean Notices?",
                                    L"line 13 [Kiosk]: StratDelay: did you mean StartDelay?",
                                }));
    std::vector<SettingsProblem> const problems = CheckSettingsText(kKioskFile);
    EXPECT_EQ(problems[2].program, L"Kiosk");  // a program's own line, for its history
    EXPECT_EQ(problems[1].program, L"");
    EXPECT_EQ(ProblemCount(problems.size(), L"vigilon.ini"), L"3 problems in vigilon.ini");
    EXPECT_EQ(ProblemCount(1, L"vigilon.ini"), L"1 problem in vigilon.ini");
}

TEST(SettingsCheck, TheListSaysWhatItLeavesOutAndWhatNoNameReaches) {
    EXPECT_EQ(Said(L"Number=1\n"
                   L"[Apps]\n"
                   L"Number=6\n"
                   L"App1=Kiosk\n"
                   L"App2=\n"
                   L"App4=kiosk\n"
                   L"App5=Ghost\n"
                   L"App0=Zero\n"
                   L"Backoff\n"
                   L"Number=2\n"
                   L"[Kiosk]\n"
                   L"Caption=Kiosk\n"
                   L"Caption=Other\n"
                   L"[Spare]\n"
                   L"Caption=Spare\n"
                   L"[kiosk]\n"
                   L"EXE=C:\\k.exe\n"),
              (std::vector<std::wstring>{
                  L"line 1: Number: above the first section, so it is not read",
                  L"line 3 [Apps]: App3: missing, so program 3 has no name and is not watched",
                  L"line 3 [Apps]: App6: missing, so program 6 has no name and is not watched",
                  L"line 5 [Apps]: App2: empty, so program 2 has no name and is not watched",
                  L"line 6 [Apps]: App4=kiosk: listed already as App1, and both are read from one section",
                  L"line 7 [Apps]: App5=Ghost: there is no section [Ghost], so it has no caption and is not watched",
                  L"line 8 [Apps]: App0=Zero: the list starts at App1, so it is not read",
                  L"line 9 [Apps]: \"Backoff\": no \"=\" in the line, so it is not read",
                  L"line 10 [Apps]: Number: again, and only the one on line 3 is read",
                  L"line 13 [Kiosk]: Caption: again, and only the one on line 12 is read",
                  L"line 14 [Spare]: no program listed in [Apps] has this name, so the section is not read",
                  L"line 16 [kiosk]: the section again: only the one on line 11 is read",
              }));
    // A run of missing keys is said once; without Number nothing is listed, and a Number that is
    // no count is all that is said, as Vigilon does not start with it.
    EXPECT_EQ(Said(L"[Apps]\nNumber=5\nApp1=A\n[A]\nCaption=A\n"),
              std::vector<std::wstring>{L"line 2 [Apps]: App2 to App5: missing, so these programs have no name and are not watched"});
    EXPECT_EQ(Said(L"[Apps]\nApp1=A\n[A]\nCaption=A\n"),
              std::vector<std::wstring>{L"line 2 [Apps]: App1=A: [Apps] has no Number, so it is not read"});
    EXPECT_EQ(Said(L"[Apps]\nNumber=-1\nApp1=A\n[B]\n"),
              std::vector<std::wstring>{L"line 2 [Apps]: Number=-1: not a number of programs from 0 to 32762, so Vigilon does not start"});
    EXPECT_EQ(Said(L"[Apps]\nNumber=two\n"),
              std::vector<std::wstring>{L"line 2 [Apps]: Number=two: not a number, so it counts as 0 and no program is read"});
    EXPECT_TRUE(Said(L"").empty());
}

TEST(SettingsCheck, ValuesThatCannotBeUsedAndKeysInTheWrongPlaceAreNamed) {
    EXPECT_EQ(Said(L"\xFEFF[Apps]\r\n"
                   L"Number=2\r\n"
                   L"App1=Kiosk\r\n"
                   L"App2=Board\r\n"
                   L"Notices=Balloon\r\n"
                   L"HangSeconds=2\r\n"
                   L"Backoff= \"1\" \r\n"
                   L"LockSettings=1\r\n"
                   L"Caption=Kiosk\r\n"
                   L"[Kiosk]\r\n"
                   L"Caption=Kiosk\r\n"
                   L"Show=Huge\r\n"
                   L"restartat=25:00\r\n"
                   L"StartAfter=Nobody\r\n"
                   L"Notices=Tray\r\n"
                   L"Monitor=anything\r\n"
                   L"[Board]\r\n"
                   L"StartAfter=Kiosk\r\n"
                   L"Show=fullscreen\r\n"),
              (std::vector<std::wstring>{
                  L"line 5 [Apps]: Notices=Balloon: not Tray or Box",
                  L"line 6 [Apps]: HangSeconds=2: not 0 or a whole number of seconds from 5 to 3600",
                  L"line 8 [Apps]: LockSettings: set only by an administrator's policy; in vigilon.ini it does nothing",
                  L"line 9 [Apps]: Caption: belongs in a program's section",
                  L"line 12 [Kiosk]: Show=Huge: not Hidden, Normal, Maximized or FullScreen",
                  L"line 13 [Kiosk]: RestartAt=25:00: not times of day from 0:00 to 23:59, as hh:mm, separated by commas",
                  L"line 14 [Kiosk]: StartAfter=Nobody: no program of that name",
                  L"line 15 [Kiosk]: Notices: belongs in [Apps]",
              }));
}

// A program without a window is found by its process's file: EXE must name it in full.
TEST(SettingsCheck, WindowNoneWantsTheFullPathOfAnExe) {
    std::wstring const head = L"[Apps]\r\nNumber=1\r\nApp1=Agent\r\n[Agent]\r\nWindow=None\r\n";
    for (wchar_t const* good : {L"C:\\Agent\\agent.EXE", L"\\\\server\\tools\\agent.exe"}) {
        EXPECT_TRUE(Said(head + L"EXE=" + good + L"\r\n").empty()) << good;
    }
    for (wchar_t const* bad : {L"agent.exe", L"Agent\\agent.exe", L"C:\\Agent\\start.cmd", L"C:\\Agent\\Agent.lnk", L""}) {
        std::vector<std::wstring> const said = Said(head + L"EXE=" + bad + L"\r\n");
        ASSERT_EQ(said.size(), 1u) << bad;
        EXPECT_TRUE(said[0].starts_with(L"line 5 [Agent]: Window=None: EXE must be the full path of an .exe")) << said[0];
    }
}

TEST(SettingsCheck, AnUnknownKeyIsGivenTheKnownKeyOfItsPlaceNearestToIt) {
    EXPECT_EQ(Said(L"[Apps]\nNumber=1\nApp1=A\nAp1=A\nApp01=A\nHangSecond=5\nColour=red\n"
                   L"[A]\nCaptoin=A\nShw=Normal\nRestrt=Failure\nNotice=Tray\nExecutable=a.exe\nSohw=Normal\n"),
              (std::vector<std::wstring>{
                  L"line 4 [Apps]: Ap1: did you mean App1?",
                  L"line 5 [Apps]: App01: did you mean App1?",
                  L"line 6 [Apps]: HangSecond: did you mean HangSeconds?",
                  L"line 7 [Apps]: Colour: not a key Vigilon reads, so it does nothing",
                  L"line 9 [A]: Captoin: did you mean Caption?",
                  L"line 10 [A]: Shw: did you mean Show?",
                  L"line 11 [A]: Restrt: did you mean Restart?",
                  L"line 12 [A]: Notice: did you mean Notices, in [Apps]?",
                  L"line 13 [A]: Executable: not a key Vigilon reads, so it does nothing",
                  L"line 14 [A]: Sohw: did you mean Show?",  // two letters swapped count as one
              }));
    // A number beyond those read is not near a key of its own spelling.
    EXPECT_EQ(Said(L"[Apps]\nNumber=0\nApp100000=A\n"),
              (std::vector<std::wstring>{L"line 3 [Apps]: App100000: not a key Vigilon reads, so it does nothing"}));
}

TEST(SettingsValidation, ExitsZeroOneOrTwoAndPrintsEachProblemWithItsLine) {
    constexpr wchar_t kIni[] = L"C:\\Deploy\\vigilon.ini";
    testing::FakeProfileStore store;
    SettingsFile const file(store, kIni);
    EXPECT_EQ(ValidateSettingsFile(file).exitCode, kValidateUnreadable);
    EXPECT_EQ(ValidateSettingsFile(file).text, L"C:\\Deploy\\vigilon.ini is not there.\r\n");

    store.Set(kIni, L"Apps", L"Number", L"1");
    store.Set(kIni, L"Apps", L"App1", L"Kiosk");
    store.Set(kIni, L"Kiosk", L"Caption", L"Kiosk");
    EXPECT_EQ(ValidateSettingsFile(file).exitCode, kValidateNoProblems);
    EXPECT_EQ(ValidateSettingsFile(file).text, L"No problems in C:\\Deploy\\vigilon.ini.\r\n");

    store.Set(kIni, L"Kiosk", L"StratDelay", L"5");
    ValidationResult const result = ValidateSettingsFile(file);
    EXPECT_EQ(result.exitCode, kValidateProblems);
    EXPECT_EQ(result.text, L"line 6 [Kiosk]: StratDelay: did you mean StartDelay?\r\n"
                           L"1 problem in C:\\Deploy\\vigilon.ini.\r\n");

    store.Lock(kIni);
    EXPECT_EQ(ValidateSettingsFile(file).exitCode, kValidateUnreadable);
}

}  // namespace
}  // namespace vigilon
