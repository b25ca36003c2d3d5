#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "fakes/fake_profile_store.h"
#include "fakes/fake_registry.h"

namespace vigilon {
namespace {

using testing::FakeProfileStore;
using testing::FakeRegistry;

constexpr wchar_t kIni[] = L"C:\\Vigilon\\vigilon.ini";
constexpr wchar_t kJarCommand[] = LR"("C:\Java\bin\javaw.exe" -jar "%1" %*)";

class SettingsTest : public ::testing::Test {
protected:
    bool Load() { return LoadSettings(file, registry, programs); }
    void SetJarAssociation(std::wstring const& command) {
        registry.SetString(RegistryRoot::ClassesRoot, kJarOpenCommandKey, L"", command);
    }
    void AddProgram(int number, std::wstring const& name, std::wstring const& caption) {
        store.Set(kIni, L"Apps", L"App" + std::to_wstring(number), name);
        store.Set(kIni, name, L"Caption", caption);
        store.Set(kIni, name, L"EXE", name + L".exe");
    }

    FakeProfileStore store;
    FakeRegistry registry;
    SettingsFile file{store, kIni};
    WatchedPrograms programs;
};

TEST_F(SettingsTest, FirstRunBuildsTheDefaultEntryFromTheJarAssociation) {
    SetJarAssociation(kJarCommand);
    EXPECT_TRUE(Load());
    ASSERT_EQ(programs.Count(), 1);
    EXPECT_EQ(programs.Capacity(), 10);
    EXPECT_EQ(programs[1].name, L"Quorvault");
    EXPECT_EQ(programs[1].caption, L"Quorvault V3.2 - ");
    EXPECT_EQ(programs[1].exe, LR"(C:\Java\bin\javaw.exe)");
    EXPECT_EQ(programs[1].prefix, L"-jar -Xmx384m");
    EXPECT_EQ(programs[1].command, L"");
    EXPECT_EQ(registry.openKeys, 0);
}

TEST_F(SettingsTest, DefaultEntryWithoutAJarAssociationHasNoExecutable) {
    EXPECT_TRUE(Load());
    EXPECT_EQ(programs[1].exe, L"");
    EXPECT_EQ(programs[1].prefix, L"");
}

TEST_F(SettingsTest, EmptyOrUntypedJarAssociationIsTreatedAsMissing) {
    registry.SetBytes(RegistryRoot::ClassesRoot, kJarOpenCommandKey, L"", kRegSz, {});
    EXPECT_TRUE(Load());
    EXPECT_EQ(programs[1].exe, L"");
    EXPECT_EQ(programs[1].prefix, L"");

    registry.SetString(RegistryRoot::ClassesRoot, kJarOpenCommandKey, L"", kJarCommand, kRegExpandSz);
    EXPECT_TRUE(Load());
    EXPECT_EQ(programs[1].exe, L"");
    EXPECT_EQ(programs[1].prefix, L"");
}

TEST_F(SettingsTest, NumberZeroIgnoresAppKeys) {
    store.Set(kIni, L"Apps", L"Number", L"0");
    AddProgram(1, L"Editor", L"Notes - ");
    EXPECT_TRUE(Load());
    EXPECT_EQ(programs[1].name, L"Quorvault");
}

TEST_F(SettingsTest, LoadsTheCountedProgramsInAppKeyOrder) {
    store.Set(kIni, L"Apps", L"Number", L"2");
    AddProgram(1, L"Second", L"Two - ");
    AddProgram(2, L"First", L"One - ");
    AddProgram(3, L"Third", L"Three - ");
    store.Set(kIni, L"First", L"Command", LR"(D:\data)");
    store.Set(kIni, L"First", L"Prefix", L"-a");
    store.Set(kIni, L"First", L"Postfix", L"-z");
    EXPECT_FALSE(Load());
    ASSERT_EQ(programs.Count(), 2);
    EXPECT_EQ(programs.Capacity(), 7);
    EXPECT_EQ(programs[1].name, L"Second");
    EXPECT_EQ(programs[1].caption, L"Two -");  // the system reads a value without its blanks around
    EXPECT_EQ(programs[2].name, L"First");
    EXPECT_EQ(programs[2].exe, L"First.exe");
    EXPECT_EQ(programs[2].command, LR"(D:\data)");
    EXPECT_EQ(programs[2].prefix, L"-a");
    EXPECT_EQ(programs[2].postfix, L"-z");
}

// A name cut on reading would find no section, and the program would silently go unwatched.
TEST_F(SettingsTest, LongValuesRoundTripThroughSaveAndLoad) {
    programs.Reset(0, 5);
    for (std::size_t length : {300u, 5000u}) {
        WatchedProgram& record = programs[programs.Add(std::wstring(length, L'n'))];
        record.caption = std::wstring(length, L'c');
        record.command = std::wstring(length, L'x');
    }
    ASSERT_TRUE(SaveSettings(file, programs));
    WatchedPrograms loaded;
    ASSERT_FALSE(LoadSettings(file, registry, loaded));
    ASSERT_EQ(loaded.Count(), 2);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(loaded[i].name, programs[i].name);
        EXPECT_EQ(loaded[i].caption, programs[i].caption);
        EXPECT_EQ(loaded[i].command, programs[i].command);
    }
}

// What the file could not give back is refused, named, and the file is left as it was.
TEST_F(SettingsTest, SaveRefusesNamingTheFieldAValueThatWouldNotComeBack) {
    programs.Reset(0, 5);
    programs[programs.Add(L"Kiosk")].caption = L"Kiosk - ";
    ASSERT_TRUE(SaveSettings(file, programs));
    std::vector<std::wstring> const before = store.Lines(kIni);
    std::wstring refusal;
    programs[1].command = std::wstring(kMaxIniValueLength + 1, L'x');
    EXPECT_FALSE(SaveSettings(file, programs, &refusal));
    EXPECT_EQ(refusal, L"The Command of Kiosk cannot be saved: it is 32768 characters long, and the settings file "
                       L"gives back at most 32767.");
    programs[1].command = std::wstring(kMaxIniValueLength, L'x');  // the longest that comes back
    programs[1].postfix = L"-a\r\n-b";
    EXPECT_FALSE(SaveSettings(file, programs, &refusal));
    EXPECT_EQ(refusal, L"The Postfix of Kiosk cannot be saved: it holds a line break.");
    EXPECT_EQ(store.Lines(kIni), before);
    programs[1].postfix = L"-a -b";
    EXPECT_TRUE(SaveSettings(file, programs));
}

// A save cut short leaves the old file or the new one, never half of each.
TEST_F(SettingsTest, SaveWritesThroughOneCopyAndOneReplaceAndAFailureLeavesTheFileAsItWas) {
    programs.Reset(0, 5);
    for (wchar_t const* name : {L"A", L"B"}) programs[programs.Add(name)].caption = name;
    ASSERT_TRUE(SaveSettings(file, programs));
    std::vector<std::wstring> const before = store.Lines(kIni);
    store.updatesBegun = store.replaces = 0;
    store.writes.clear();
    programs[1].caption = L"A changed";
    programs[2].rules.maxMemoryMB = L"500";
    ASSERT_TRUE(SaveSettings(file, programs));
    EXPECT_EQ(store.updatesBegun, 1);
    EXPECT_EQ(store.replaces, 1);
    EXPECT_EQ(store.writes[kIni], 0);  // nothing written into the file in place
    EXPECT_GT(store.writes[FakeProfileStore::CopyOf(kIni)], 0);
    EXPECT_EQ(store.Lines(file.BackupPath()), before);  // the previous file kept
    EXPECT_FALSE(store.Has(FakeProfileStore::CopyOf(kIni)));

    std::vector<std::wstring> const saved = store.Lines(kIni);
    programs[2].caption = L"B changed";
    store.FailWrites(FakeProfileStore::CopyOf(kIni));  // the disk fills half way
    EXPECT_FALSE(SaveSettings(file, programs));
    EXPECT_EQ(store.Lines(kIni), saved);
    EXPECT_FALSE(store.Has(FakeProfileStore::CopyOf(kIni)));  // and no copy is left behind
    store = FakeProfileStore{};  // a fresh store, the failure gone
    ASSERT_TRUE(SaveSettings(file, programs));
    std::vector<std::wstring> const last = store.Lines(kIni);
    store.FailReplace(kIni);
    programs[1].caption = L"A again";
    EXPECT_FALSE(SaveSettings(file, programs));
    EXPECT_EQ(store.Lines(kIni), last);
}

// A lost Number would read as 0: a first run that offers the built-in entry over the user's list.
TEST_F(SettingsTest, AMissingOrCutFileWithABackupIsNotAFirstRun) {
    programs.Reset(0, 5);
    programs[programs.Add(L"Mine")].caption = L"Mine - ";
    ASSERT_TRUE(SaveSettings(file, programs));
    ASSERT_TRUE(SaveSettings(file, programs));  // the backup now holds the list too
    store.Remove(kIni);
    EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::BackupFound);
    EXPECT_EQ(programs.Count(), 0);
    EXPECT_NE(BackupFoundMessage(file).find(L"C:\\Vigilon\\vigilon.ini is missing"), std::wstring::npos);
    ASSERT_TRUE(RestoreSettingsBackup(file));
    EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::Loaded);
    EXPECT_EQ(programs[1].name, L"Mine");
    // A file cut before its Number, likewise.
    store.Remove(kIni);
    store.Set(kIni, L"Mine", L"Caption", L"Mine - ");
    EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::BackupFound);
    // A backup that lists no programs either (options set before the first Save) offers nothing.
    store.Remove(file.BackupPath());
    store.Set(file.BackupPath(), L"Apps", L"Backoff", L"1");
    EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::FirstRun);
    // Without a backup, a missing file is a first run as before.
    store.Remove(file.BackupPath());
    store.Remove(kIni);
    EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::FirstRun);
}

TEST_F(SettingsTest, AFileInUtf8IsConvertedOnceBeforeItIsRead) {
    store.Set(kIni, L"Apps", L"Number", L"1");
    AddProgram(1, L"Caf\u00e9", L"Caf\u00e9 - ");
    store.MarkUtf8(kIni);
    EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::Loaded);
    EXPECT_EQ(store.conversions, 1);
    EXPECT_EQ(store.replaces, 1);
    EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::Loaded);
    EXPECT_EQ(store.conversions, 1);  // once
}

TEST_F(SettingsTest, MissingAppKeyGivesAnEmptyRecord) {
    store.Set(kIni, L"Apps", L"Number", L"1");
    EXPECT_FALSE(Load());
    EXPECT_EQ(programs[1].name, L"");
    EXPECT_EQ(programs[1].caption, L"");
}

TEST_F(SettingsTest, ProgramsWithTheSameNameShareOneSection) {
    programs.Reset(0, 5);
    programs[programs.Add(L"Twin")].caption = L"first";
    programs[programs.Add(L"Twin")].caption = L"second";
    EXPECT_TRUE(SaveSettings(file, programs));
    EXPECT_FALSE(Load());
    EXPECT_EQ(programs[1].caption, L"second");
    EXPECT_EQ(programs[2].caption, L"second");
}

TEST_F(SettingsTest, SavingTheDefaultEntryWritesTheNineLines) {
    SetJarAssociation(kJarCommand);
    Load();
    programs[1].caption = L"Quorvault V3.2 -";  // the editor trims the fields it stores
    EXPECT_TRUE(SaveSettings(file, programs));
    std::vector<std::wstring> const expected{
        L"[Apps]", L"Number=1", L"App1=Quorvault", L"[Quorvault]", L"Caption=Quorvault V3.2 -",
        LR"(EXE=C:\Java\bin\javaw.exe)", L"Command=", L"Prefix=-jar -Xmx384m", L"Postfix="};
    EXPECT_EQ(store.Lines(kIni), expected);
}

// A delete leaves nothing the check at start would name; what the user added by hand stays.
TEST_F(SettingsTest, DeletingTakesAwayWhatTheDeletedProgramsLeftButKeepsWhatWasAddedByHand) {
    programs.Reset(0, 5);
    for (wchar_t const* name : {L"A", L"B", L"C"}) programs[programs.Add(name)].caption = name;
    SaveSettings(file, programs);
    store.Set(kIni, L"Spare", L"Caption", L"Spare");
    store.Set(kIni, L"Apps", L"App9", L"Later");
    programs.Delete(2);
    SaveSettings(file, programs);

    std::vector<std::wstring> const lines = store.Lines(kIni);
    EXPECT_EQ(std::find(lines.begin(), lines.end(), L"App3=C"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), L"[B]"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"[Spare]"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"App9=Later"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"Number=2"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"App2=C"), lines.end());

    EXPECT_FALSE(Load());
    ASSERT_EQ(programs.Count(), 2);
    EXPECT_EQ(programs[1].name, L"A");
    EXPECT_EQ(programs[2].name, L"C");
    EXPECT_EQ(programs[2].caption, L"C");
}

TEST_F(SettingsTest, SavingNoProgramsMakesTheNextStartAFirstRun) {
    programs.Reset(0, 5);
    SaveSettings(file, programs);
    EXPECT_TRUE(Load());
    EXPECT_EQ(programs[1].name, L"Quorvault");
}

TEST_F(SettingsTest, CountThreeLeavesRoomForFiveMore) {
    store.Set(kIni, L"Apps", L"Number", L"3");
    Load();
    EXPECT_EQ(programs.Capacity(), 8);
    for (int i = 0; i < 5; ++i) programs.Add(L"new");
    EXPECT_EQ(programs.Capacity(), 8);
    programs.Add(L"ninth");
    EXPECT_EQ(programs.Capacity(), 13);
}

TEST_F(SettingsTest, ACountThatCannotBeUsedIsRefusedAndTheListKept) {
    AddProgram(1, L"Calm", L"Calm - ");
    for (wchar_t const* number : {L"-1", L"32763", L"99999"}) {
        store.Set(kIni, L"Apps", L"Number", number);
        EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::UnusableCount) << number;
        EXPECT_EQ(programs.Count(), 0) << number;  // not the built-in entry, which a save would write
    }
    EXPECT_EQ(UnusableCountMessage(file), L"The settings file C:\\Vigilon\\vigilon.ini gives Number=99999, which "
                                          L"is not a number of programs from 0 to 32762.\r\nCorrect the value and "
                                          L"start Vigilon again. The file has not been changed.");
    EXPECT_EQ(file.ReadIniValue(L"Apps", L"App1", L""), L"Calm");
    // A text without a number counts as none: a first start.
    for (wchar_t const* number : {L"abc", L""}) {
        store.Set(kIni, L"Apps", L"Number", number);
        EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::FirstRun) << number;
    }
}

TEST_F(SettingsTest, QuotesAndBlanksAroundAValueComeBackAsTheyWereSaved) {
    programs.Reset(0, 5);
    WatchedProgram& record = programs[programs.Add(L"Q")];
    record.caption = L"Q";
    record.prefix = L"\"-Dname=a b\"";
    record.command = L" C:\\data ";
    record.postfix = L"'x'";
    record.exe = L"C:\\q.exe";
    ASSERT_TRUE(SaveSettings(file, programs));
    WatchedPrograms loaded;
    ASSERT_FALSE(LoadSettings(file, registry, loaded));
    EXPECT_EQ(loaded[1].prefix, L"\"-Dname=a b\"");
    EXPECT_EQ(loaded[1].command, L" C:\\data ");
    EXPECT_EQ(loaded[1].postfix, L"'x'");
    EXPECT_EQ(loaded[1].exe, L"C:\\q.exe");
}

TEST_F(SettingsTest, AnUnreadableFileIsNeitherAFirstRunNorWrittenOver) {
    SetJarAssociation(kJarCommand);
    EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::FirstRun);  // no file yet
    store.Set(kIni, L"Apps", L"Number", L"1");
    AddProgram(1, L"Mine", L"Mine - ");
    EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::Loaded);
    store.Lock(kIni);
    EXPECT_EQ(LoadStartupSettings(file, registry, programs), SettingsLoad::Unreadable);
    EXPECT_EQ(programs.Count(), 0);  // not the built-in entry, which a save would write over the list
    EXPECT_EQ(UnreadableSettingsMessage(kIni),
              L"The settings file C:\\Vigilon\\vigilon.ini could not be read.\r\nClose any program that holds it "
              L"open, check that it is a file you may read, and start Vigilon again.");
}

}  // namespace
}  // namespace vigilon
