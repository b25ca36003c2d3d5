#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system_services.h"
#include "support/version_resource.h"
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

// A version resource as the resource compiler lays it out: each node a header, its key, its value
// and its children, each part on a 4-byte boundary.
std::vector<std::uint8_t> VersionNode(std::wstring const& key, std::vector<std::uint8_t> const& value, bool text,
                                      std::vector<std::vector<std::uint8_t>> const& children) {
    std::vector<std::uint8_t> node(6, 0);
    auto pad = [&] { node.resize((node.size() + 3) & ~std::size_t{3}, 0); };
    for (wchar_t c : key + L'\0') node.insert(node.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    pad();
    node.insert(node.end(), value.begin(), value.end());
    pad();
    for (auto const& child : children) node.insert(node.end(), child.begin(), child.end()), pad();
    std::size_t const valueLength = text ? value.size() / 2 : value.size();
    node[0] = static_cast<std::uint8_t>(node.size()), node[1] = static_cast<std::uint8_t>(node.size() >> 8);
    node[2] = static_cast<std::uint8_t>(valueLength), node[3] = static_cast<std::uint8_t>(valueLength >> 8);
    node[4] = text ? 1 : 0;
    return node;
}

std::vector<std::uint8_t> Utf16(std::wstring const& text) {
    std::vector<std::uint8_t> bytes;
    for (wchar_t c : text + L'\0') bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    return bytes;
}

TEST(About, TheVersionResourceIsReadWithoutTheVersionLibrary) {
    std::vector<std::uint8_t> fixed(52, 0);
    std::uint32_t const words[] = {0xFEEF04BD, 0x00010000, 0x00010002, 0x00030004};  // 1.2.3.4
    for (std::size_t i = 0; i < 4; ++i) {
        for (int b = 0; b < 4; ++b) fixed[4 * i + b] = static_cast<std::uint8_t>(words[i] >> (8 * b));
    }
    auto const table = VersionNode(L"040904B0", {}, true,
                                   {VersionNode(L"Comments", Utf16(L"Keeps programs running"), true, {}),
                                    VersionNode(L"ProductName", Utf16(L"Vigilon"), true, {})});
    auto const resource = VersionNode(L"VS_VERSION_INFO", fixed, false,
                                      {VersionNode(L"StringFileInfo", {}, true, {table}),
                                       VersionNode(L"VarFileInfo", {}, true, {})});
    EXPECT_EQ(VersionString(resource, L"040904B0", L"ProductName"), L"Vigilon");
    EXPECT_EQ(VersionString(resource, L"040904B0", L"Comments"), L"Keeps programs running");
    EXPECT_FALSE(VersionString(resource, L"040904B0", L"LegalCopyright"));
    std::optional<FileVersion> const version = VersionNumbers(resource);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->major, 1);
    EXPECT_EQ(version->minor, 2);
    EXPECT_EQ(version->build, 3);
    EXPECT_EQ(version->revision, 4);
    // Cut anywhere, it gives nothing rather than reading past its end.
    for (std::size_t size = 0; size < resource.size(); size += 7) {
        std::span<std::uint8_t const> const cut(resource.data(), size);
        EXPECT_FALSE(VersionString(cut, L"040904B0", L"ProductName")) << size;
    }
}

// Another maker's executable keeps its strings in the table of its own language and code page;
// the first table that holds the string gives it.
TEST(About, AStringIsFoundInWhicheverTableHoldsIt) {
    auto const resource = VersionNode(
        L"VS_VERSION_INFO", {}, false,
        {VersionNode(L"StringFileInfo", {}, true,
                     {VersionNode(L"040704E4", {}, true, {VersionNode(L"CompanyName", Utf16(L"Maker"), true, {})}),
                      VersionNode(L"041904E3", {}, true, {VersionNode(L"FileDescription", Utf16(L"Notes"), true, {})})})});
    EXPECT_EQ(VersionStringOfAnyTable(resource, L"FileDescription"), L"Notes");
    EXPECT_FALSE(VersionStringOfAnyTable(resource, L"ProductName"));
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
    EXPECT_EQ(shell.started, std::vector<std::wstring>{L"\"C:\\Tools\\msinfo32.exe\""});
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
    EXPECT_EQ(shell.started, std::vector<std::wstring>{L"\"C:\\Tools\\MSINFO32.EXE\""});
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
