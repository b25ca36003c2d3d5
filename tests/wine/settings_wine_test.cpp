#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "app/settings.h"
#include "file_holder.h"
#include "platform/win32/win32_platform.h"
#include "wine_test_support.h"

namespace vigilon::testing {
namespace {

constexpr wchar_t kJarCommandKey[] = L"jarfile\\shell\\open\\command";

std::vector<std::string> NonEmptyLines(std::string const& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// Sets the system's command for opening jar files for the length of a test.
class JarAssociation {
public:
    explicit JarAssociation(std::wstring const& command)
        : value_(HKEY_CLASSES_ROOT, kJarCommandKey, L"", REG_SZ, command.c_str(), StringBytes(command)) {}

private:
    ScopedRegistryValue value_;
};

TEST(SettingsFileOnWindows, SavingTheDefaultEntryWritesTheNineLines) {
    TempFolder folder;
    Win32Platform platform;
    SettingsFile const file(platform.profile, folder / L"vigilon.ini");
    JarAssociation jar(LR"("C:\Java\bin\javaw.exe" -jar "%1" %*)");
    WatchedPrograms programs;
    ASSERT_TRUE(LoadSettings(file, platform.registry, programs));
    programs[1].caption = L"Quorvault V3.2 -";  // the editor trims what it stores
    EXPECT_TRUE(SaveSettings(file, programs));
    std::vector<std::string> const expected{
        "[Apps]",      "Number=1",   "App1=Quorvault", "[Quorvault]", "Caption=Quorvault V3.2 -",
        R"(EXE=C:\Java\bin\javaw.exe)", "Command=", "Prefix=-jar -Xmx384m", "Postfix="};
    EXPECT_EQ(NonEmptyLines(ReadFileBytes(folder / L"vigilon.ini")), expected);
}

TEST(SettingsFileOnWindows, UnquotedJarCommandGivesThePath) {
    TempFolder folder;
    Win32Platform platform;
    SettingsFile const file(platform.profile, folder / L"vigilon.ini");
    JarAssociation jar(LR"(C:\Java\bin\javaw.exe -jar "%1" %*)");
    WatchedPrograms programs;
    ASSERT_TRUE(LoadSettings(file, platform.registry, programs));
    EXPECT_EQ(programs[1].exe, LR"(C:\Java\bin\javaw.exe)");
    EXPECT_EQ(programs[1].prefix, L"-jar -Xmx384m");
}

TEST(SettingsFileOnWindows, LongValuesLoadWhole) {
    TempFolder folder;
    Win32Platform platform;
    std::wstring const path = folder / L"vigilon.ini";
    WritePrivateProfileStringW(L"Apps", L"Number", L"1", path.c_str());
    WritePrivateProfileStringW(L"Apps", L"App1", std::wstring(300, L'n').c_str(), path.c_str());
    WritePrivateProfileStringW(std::wstring(300, L'n').c_str(), L"Caption", std::wstring(5000, L'c').c_str(),
                               path.c_str());
    SettingsFile const file(platform.profile, path);
    WatchedPrograms programs;
    EXPECT_FALSE(LoadSettings(file, platform.registry, programs));
    EXPECT_EQ(programs[1].name, std::wstring(300, L'n'));
    EXPECT_EQ(programs[1].caption, std::wstring(5000, L'c'));
}

// Save swaps a whole new file in: the old one is kept as the backup, and the file keeps its
// attributes; nothing is left beside it.
TEST(SettingsFileOnWindows, SaveReplacesTheFileWholeAndKeepsTheOldOneAsTheBackup) {
    TempFolder folder;
    Win32Platform platform;
    std::wstring const path = folder / L"vigilon.ini";
    SettingsFile const file(platform.profile, path);
    WatchedPrograms programs;
    programs.Reset(0, 5);
    programs[programs.Add(L"Alpha")].caption = L"first";
    ASSERT_TRUE(SaveSettings(file, programs));
    std::string const first = ReadFileBytes(path);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    programs[1].caption = L"second";
    ASSERT_TRUE(SaveSettings(file, programs));
    EXPECT_EQ(ReadFileBytes(file.BackupPath()), first);
    EXPECT_NE(ReadFileBytes(path).find("Caption=second"), std::string::npos);
    EXPECT_NE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
    // The file gone, its backup there: not a first run.
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    WatchedPrograms loaded;
    EXPECT_EQ(LoadStartupSettings(file, platform.registry, loaded), SettingsLoad::BackupFound);
    ASSERT_TRUE(RestoreSettingsBackup(file));
    EXPECT_EQ(LoadStartupSettings(file, platform.registry, loaded), SettingsLoad::Loaded);
    EXPECT_EQ(loaded[1].caption, L"first");
}

// The check reads the text as the profile functions do, whichever of the file's encodings it is in.
TEST(SettingsFileOnWindows, TheTextIsReadInEachEncodingAFileMayHave) {
    std::wstring const text = L"[Apps]\r\nApp1=Caf\u00e9\r\n";
    std::string utf16le = "\xFF\xFE";
    std::string utf16be = "\xFE\xFF";
    for (wchar_t const c : text) {
        utf16le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        utf16be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    }
    char ansi[64] = {};
    int const ansiSize = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi, sizeof ansi,
                                             nullptr, nullptr);
    std::string const utf8 = "[Apps]\r\nApp1=Caf\xC3\xA9\r\n";
    for (std::string const& bytes : {utf16le, utf16be, "\xEF\xBB\xBF" + utf8, utf8, std::string(ansi, ansiSize)}) {
        TempFolder folder;
        Win32Platform platform;
        std::wstring const path = folder / L"vigilon.ini";
        HANDLE const handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(handle);
        EXPECT_EQ(platform.profile.ReadProfileText(path), text);
        EXPECT_EQ(platform.profile.ReadProfileText(folder / L"missing.ini"), std::nullopt);
    }
}

// PowerShell 5's Set-Content -Encoding UTF8 writes the mark; many editors write none.
TEST(SettingsFileOnWindows, AFileInUtf8IsReadRightAndBecomesUtf16Once) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "the system reads UTF-8 as its own code page";
    for (std::string const mark : {std::string("\xEF\xBB\xBF"), std::string()}) {
        TempFolder folder;
        Win32Platform platform;
        std::wstring const path = folder / L"vigilon.ini";
        std::string const text = mark + "[Apps]\r\nNumber=1\r\nApp1=Caf\xC3\xA9 \xD0\x9F\r\n"
                                        "[Caf\xC3\xA9 \xD0\x9F]\r\nCaption=Caf\xC3\xA9 - Main\r\n";
        HANDLE const handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(handle);
        SettingsFile const file(platform.profile, path);
        WatchedPrograms loaded;
        ASSERT_EQ(LoadStartupSettings(file, platform.registry, loaded), SettingsLoad::Loaded);
        EXPECT_EQ(loaded[1].name, L"Caf\u00e9 \u041f");
        EXPECT_EQ(loaded[1].caption, L"Caf\u00e9 - Main");
        EXPECT_EQ(ReadFileBytes(path).substr(0, 2), "\xFF\xFE");
        EXPECT_EQ(ReadFileBytes(file.BackupPath()), text);  // the file as it was, kept
    }
}

TEST(SettingsFileOnWindows, DeletingTheSecondOfThreeTakesAwayWhatItLeftAndLoadsTwo) {
    TempFolder folder;
    Win32Platform platform;
    SettingsFile const file(platform.profile, folder / L"vigilon.ini");
    WatchedPrograms programs;
    programs.Reset(0, 5);
    for (wchar_t const* name : {L"Alpha", L"Beta", L"Gamma"}) {
        int const n = programs.Add(name);
        programs[n].caption = std::wstring(name) + L" - ";
        programs[n].exe = std::wstring(L"C:\\") + name + L".exe";
    }
    ASSERT_TRUE(SaveSettings(file, programs));
    programs.Delete(2);
    ASSERT_TRUE(SaveSettings(file, programs));

    std::vector<std::string> const lines = NonEmptyLines(ReadFileBytes(folder / L"vigilon.ini"));
    auto has = [&](char const* line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has("Number=2"));
    EXPECT_TRUE(has("App2=Gamma"));
    EXPECT_FALSE(has("App3=Gamma"));
    EXPECT_FALSE(has("[Beta]"));
    EXPECT_FALSE(has(R"(EXE=C:\Beta.exe)"));

    WatchedPrograms loaded;
    EXPECT_FALSE(LoadSettings(file, platform.registry, loaded));
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_EQ(loaded[1].name, L"Alpha");
    EXPECT_EQ(loaded[2].name, L"Gamma");
    EXPECT_EQ(loaded[2].exe, L"C:\\Gamma.exe");
}

TEST(SettingsFileOnWindows, SavingToAReadOnlyFileOrAMissingFolderFails) {
    TempFolder folder;
    Win32Platform platform;
    std::wstring const path = folder / L"vigilon.ini";
    WatchedPrograms programs;
    programs.Reset(0, 5);
    programs.Add(L"Alpha");
    ASSERT_TRUE(SaveSettings(SettingsFile(platform.profile, path), programs));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    programs[1].caption = L"changed";
    EXPECT_FALSE(SaveSettings(SettingsFile(platform.profile, path), programs));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(NonEmptyLines(ReadFileBytes(path)).size(), 9u);  // the file as it was
    EXPECT_FALSE(SaveSettings(SettingsFile(platform.profile, folder / L"missing\\vigilon.ini"), programs));
}

TEST(SettingsFileOnWindows, NamesOutsideAsciiRoundTripInTheSystemCodePage) {
    std::wstring const name = L"Caf\u00e9 \u00d6lm\u00fchle";
    char ansi[64] = "";
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, ansi, sizeof(ansi), nullptr, &lossy);
    if (lossy) GTEST_SKIP() << "the system code page " << GetACP() << " lacks these letters";
    TempFolder folder;
    Win32Platform platform;
    std::wstring const path = folder / L"vigilon.ini";
    WatchedPrograms programs;
    programs.Reset(0, 5);
    programs.Add(name);
    programs[1].caption = name + L" - Main";
    ASSERT_TRUE(SaveSettings(SettingsFile(platform.profile, path), programs));
    EXPECT_NE(ReadFileBytes(path).find("[" + std::string(ansi) + "]"), std::string::npos);
    WatchedPrograms loaded;
    ASSERT_FALSE(LoadSettings(SettingsFile(platform.profile, path), platform.registry, loaded));
    ASSERT_EQ(loaded.Count(), 1);
    EXPECT_EQ(loaded[1].name, name);
    EXPECT_EQ(loaded[1].caption, name + L" - Main");

    // A name the code page cannot hold: the file becomes UTF-16 once, and both programs keep
    // every character.
    std::wstring const other = L"\u041f\u0440\u0438\u043c\u0435\u0440 \u03a9mega";
    std::wstring const caption = L"\u0411\u043b\u043e\u043a\u043d\u043e\u0442 - \u043e\u043a\u043d\u043e";
    programs[programs.Add(other)].caption = caption;
    ASSERT_TRUE(SaveSettings(SettingsFile(platform.profile, path), programs));
    if (GetACP() != CP_UTF8) {
        EXPECT_EQ(ReadFileBytes(path).substr(0, 2), "\xFF\xFE");
    }
    ASSERT_FALSE(LoadSettings(SettingsFile(platform.profile, path), platform.registry, loaded));
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_EQ(loaded[1].name, name);
    EXPECT_EQ(loaded[1].caption, name + L" - Main");
    EXPECT_EQ(loaded[2].name, other);
    EXPECT_EQ(loaded[2].caption, caption);
    EXPECT_EQ(ReadFileBytes(path).find("?"), std::string::npos);
}

TEST(SettingsFileOnWindows, QuotesAndBlanksAroundAValueRoundTrip) {
    TempFolder folder;
    Win32Platform platform;
    std::wstring const path = folder / L"vigilon.ini";
    WatchedPrograms programs;
    programs.Reset(0, 5);
    WatchedProgram& record = programs[programs.Add(L"Q")];
    record.caption = L"Q";
    record.prefix = L"  \"-Dname=a b\"  ";
    record.command = L"\"C:\\My Data\\q.jar\"";
    ASSERT_TRUE(SaveSettings(SettingsFile(platform.profile, path), programs));
    WatchedPrograms loaded;
    ASSERT_FALSE(LoadSettings(SettingsFile(platform.profile, path), platform.registry, loaded));
    EXPECT_EQ(loaded[1].prefix, record.prefix);
    EXPECT_EQ(loaded[1].command, record.command);
}

TEST(SettingsFileOnWindows, AnEmptyNameOrSectionNameSpoilsNothingElse) {
    TempFolder folder;
    Win32Platform platform;
    std::wstring const path = folder / L"vigilon.ini";
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char const text[] = "[Apps]\r\nNumber=2\r\nApp1=\r\nApp2=Beta\r\n[]\r\nCaption=Nameless\r\n"
                        "[Beta]\r\nCaption=Beta - Main\r\nEXE=C:\\beta.exe\r\n";
    DWORD written = 0;
    WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
    CloseHandle(file);
    SettingsFile const settings(platform.profile, path);
    WatchedPrograms loaded;
    ASSERT_FALSE(LoadSettings(settings, platform.registry, loaded));
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_EQ(loaded[1].name, L"");  // listed, and without a caption never watched
    EXPECT_EQ(loaded[2].caption, L"Beta - Main");
    EXPECT_EQ(loaded[2].exe, L"C:\\beta.exe");
    // Saving what was loaded and loading it again gives the same table.
    ASSERT_TRUE(SaveSettings(settings, loaded));
    WatchedPrograms again;
    ASSERT_FALSE(LoadSettings(settings, platform.registry, again));
    ASSERT_EQ(again.Count(), 2);
    EXPECT_EQ(again[1].caption, loaded[1].caption);
    EXPECT_EQ(again[2].caption, L"Beta - Main");
}

TEST(SettingsFileOnWindows, AFileThatCannotBeReadIsNeitherAFirstRunNorWrittenOver) {
    TempFolder folder;
    Win32Platform platform;
    WatchedPrograms programs;
    programs.Reset(0, 5);
    programs.Add(L"Alpha");
    // A folder where the file should be.
    std::wstring const folderInPlace = folder / L"vigilon.ini";
    ASSERT_TRUE(CreateDirectoryW(folderInPlace.c_str(), nullptr));
    SettingsFile const blocked(platform.profile, folderInPlace);
    WatchedPrograms loaded;
    EXPECT_EQ(LoadStartupSettings(blocked, platform.registry, loaded), SettingsLoad::Unreadable);
    EXPECT_EQ(loaded.Count(), 0);
    EXPECT_FALSE(SaveSettings(blocked, programs));
    // A file another process holds open without sharing.
    std::wstring const path = folder / L"held.ini";
    SettingsFile const held(platform.profile, path);
    ASSERT_TRUE(SaveSettings(held, programs));
    std::string const before = ReadFileBytes(path);
    {
        FileHolder holder(path);
        ASSERT_TRUE(holder.Held());
        EXPECT_EQ(LoadStartupSettings(held, platform.registry, loaded), SettingsLoad::Unreadable);
        programs[1].caption = L"changed";
        EXPECT_FALSE(SaveSettings(held, programs));
    }
    EXPECT_EQ(ReadFileBytes(path), before);
    // A read-only file still loads.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(LoadStartupSettings(held, platform.registry, loaded), SettingsLoad::Loaded);
    EXPECT_EQ(loaded[1].name, L"Alpha");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace vigilon::testing
