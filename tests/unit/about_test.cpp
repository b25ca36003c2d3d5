#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system_services.h"
#include "ui/about_logic.h"

namespace vigilon {
namespace {

using namespace vigilon::testing;

constexpr wchar_t kMsinfoKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr wchar_t kLocationKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;

TEST(About, TextsComeFromTheApplicationInfo) {
    AboutTexts const texts = MakeAboutTexts({L"Vigilon", 1, 0, 1, L"Vigilon", L"Comments", L"Notice"});
    EXPECT_EQ(texts.caption, L"About Vigilon");
    EXPECT_EQ(texts.version, L"Version 1.0.1");
    EXPECT_EQ(texts.title, L"Vigilon");
    EXPECT_EQ(texts.description, L"Comments");
    EXPECT_EQ(texts.disclaimer, L"Notice");
}

class SysInfoTest : public ::testing::Test {
protected:
    void Start() { StartSysInfo(registry, files, shell, system); }
    bool ReportedUnavailable() const {
        return system.messages.size() == 1 &&
               system.messages[0].text == L"System Information Is Unavailable At This Time" &&
               system.messages[0].style == 0 && system.messages[0].title == L"Vigilon";
    }
    FakeRegistry registry;
    FakeFileSystem files;
    FakeShell shell;
    FakeSystemServices system;
};

TEST_F(SysInfoTest, PathValueIsStartedAsItIs) {
    registry.SetString(kMachine, kMsinfoKey, L"PATH", L"C:\\Tools\\msinfo32.exe");
    Start();
    EXPECT_EQ(shell.started, std::vector<std::wstring>{L"C:\\Tools\\msinfo32.exe"});
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(SysInfoTest, AFailedStartOfThePathDoesNotTryTheOtherLocation) {
    registry.SetString(kMachine, kMsinfoKey, L"PATH", L"C:\\gone.exe");
    registry.SetString(kMachine, kLocationKey, L"MSINFO", L"C:\\Tools");
    files.AddFile(L"C:\\Tools\\MSINFO32.EXE");
    shell.startSucceeds = false;
    Start();
    EXPECT_EQ(shell.started.size(), 1u);
    EXPECT_TRUE(ReportedUnavailable());
}

TEST_F(SysInfoTest, FallsBackToTheToolsFolder) {
    registry.SetString(kMachine, kLocationKey, L"MSINFO", L"C:\\Tools");
    files.AddFile(L"C:\\Tools\\MSINFO32.EXE");
    Start();
    EXPECT_EQ(shell.started, std::vector<std::wstring>{L"C:\\Tools\\MSINFO32.EXE"});
}

TEST_F(SysInfoTest, HiddenOrMissingToolIsUnavailable) {
    registry.SetString(kMachine, kLocationKey, L"MSINFO", L"C:\\Tools");
    files.AddWithAttributes(L"C:\\Tools\\MSINFO32.EXE", kFileAttributeHidden);
    Start();
    EXPECT_TRUE(shell.started.empty());
    EXPECT_TRUE(ReportedUnavailable());
}

TEST_F(SysInfoTest, NothingInTheRegistryIsUnavailable) {
    Start();
    EXPECT_TRUE(ReportedUnavailable());
}

TEST_F(SysInfoTest, EmptyPathValueIsUnavailable) {
    registry.SetBytes(kMachine, kMsinfoKey, L"PATH", kRegSz, {});
    registry.SetString(kMachine, kLocationKey, L"MSINFO", L"C:\\Tools");
    files.AddFile(L"C:\\Tools\\MSINFO32.EXE");
    Start();
    EXPECT_TRUE(shell.started.empty());
    EXPECT_TRUE(ReportedUnavailable());
}

}  // namespace
}  // namespace vigilon
