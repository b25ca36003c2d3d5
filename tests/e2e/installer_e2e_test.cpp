// The per-user MSI as a user meets it, through msiexec /qn: install, run, upgrade, a refused
// downgrade and uninstall.
#include <windows.h>
#include <msi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace vigilon::e2e {

std::wstring g_packagesFolder;

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kSettings[] = "[Apps]\r\nNumber=0\r\n";

std::wstring KnownFolder(KNOWNFOLDERID const& id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
    CoTaskMemFree(path);
    return result;
}

// Runs msiexec with `arguments` and gives its exit code.
int Msiexec(std::wstring const& arguments) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    Process msiexec;
    if (!msiexec.Start(std::wstring(system) + L"\\msiexec.exe", arguments, L"C:\\")) return -1;
    return msiexec.WaitForExit(180);
}

std::wstring ProductInfo(std::wstring const& product, wchar_t const* property) {
    wchar_t value[MAX_PATH] = L"";
    DWORD size = MAX_PATH;
    return MsiGetProductInfoW(product.c_str(), property, value, &size) == ERROR_SUCCESS ? value : L"(none)";
}

// The product codes of the installed Vigilon, any version. Found by name rather than by upgrade
// code, so that a second product installed beside the first, or one whose upgrade code an older
// Wine lost, is counted too.
std::vector<std::wstring> InstalledProducts() {
    std::vector<std::wstring> codes;
    wchar_t code[39];
    for (DWORD i = 0; MsiEnumProductsW(i, code) == ERROR_SUCCESS; ++i) {
        if (ProductInfo(code, INSTALLPROPERTY_PRODUCTNAME) == L"Vigilon") codes.emplace_back(code);
    }
    return codes;
}

bool RunValuePresent() {
    return RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Vigilon", RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (g_packagesFolder.empty()) GTEST_SKIP() << "no installer packages: wixl was not found at build time";
        folder_ = KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Vigilon\\";
        shortcut_ = KnownFolder(FOLDERID_Programs) + L"\\Vigilon.lnk";
        RemoveEverything();
    }
    void TearDown() override {
        if (g_packagesFolder.empty()) return;
        RemoveEverything();
    }
    // What an earlier run may have left: installed products, the user's files, the Run value.
    void RemoveEverything() {
        for (std::wstring const& product : InstalledProducts()) Msiexec(L"/x " + product + L" /qn");
        for (wchar_t const* name : {L"vigilon.ini", L"vigilon.log"}) DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW(folder_.c_str());
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Vigilon");
    }
    std::wstring Package(std::wstring const& version) const {
        return L"\"" + g_packagesFolder + L"\\vigilon-" + version + L"-x64.msi\"";
    }

    std::wstring folder_, shortcut_;
};

TEST_F(InstallerTest, InstallsRunsUpgradesInPlaceAndUninstallsLeavingTheUsersFiles) {
    std::wstring const exe = folder_ + L"vigilon.exe";
    ASSERT_EQ(Msiexec(L"/i " + Package(VIGILON_TEST_VERSION) + L" /qn"), 0);
    std::vector<std::wstring> products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING), VIGILON_TEST_VERSION);
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_INSTALLLOCATION), folder_);
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_PUBLISHER), L"The Vigilon developers");
    EXPECT_TRUE(FileExistsAt(ProductInfo(products[0], INSTALLPROPERTY_PRODUCTICON)));
    EXPECT_TRUE(FileExistsAt(exe));
    EXPECT_TRUE(FileExistsAt(shortcut_));

    // The installed copy runs, keeps its settings and history beside itself, and sets its start at
    // logon as its Options would.
    WriteTextFile(folder_ + L"vigilon.ini", L"[Apps]\r\nNumber=0\r\n");
    {
        Process vigilon;
        ASSERT_TRUE(vigilon.Start(exe, L"", L"C:\\"));
        HWND main = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (main = FindVigilonMainWindow()) != nullptr; }));
        EXPECT_TRUE(WaitUntil([&] { return FileExistsAt(folder_ + L"vigilon.log"); }));
        SendMenuCommand(main, kFileExitCommand);
        EXPECT_EQ(vigilon.WaitForExit(15), 0);
    }
    std::string const history = testing::ReadFileBytes(folder_ + L"vigilon.log");
    EXPECT_NE(history.find("\tstart\t"), std::string::npos) << history;
    std::wstring const quoted = L"\"" + exe + L"\"";
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Vigilon", REG_SZ, quoted.c_str(),
                    static_cast<DWORD>((quoted.size() + 1) * sizeof(wchar_t)));

    ASSERT_EQ(Msiexec(L"/i " + Package(VIGILON_TEST_NEWER_VERSION) + L" /qn"), 0);
    products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u) << "the older version is replaced, not installed beside";
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING), VIGILON_TEST_NEWER_VERSION);
    EXPECT_TRUE(FileExistsAt(exe));
    EXPECT_EQ(testing::ReadFileBytes(folder_ + L"vigilon.ini"), kSettings);
    EXPECT_EQ(testing::ReadFileBytes(folder_ + L"vigilon.log"), history);
    EXPECT_TRUE(RunValuePresent()) << "an upgrade keeps the start at logon";

    EXPECT_NE(Msiexec(L"/i " + Package(VIGILON_TEST_VERSION) + L" /qn"), 0) << "a downgrade is refused";
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING), VIGILON_TEST_NEWER_VERSION);

    ASSERT_EQ(Msiexec(L"/x " + products[0] + L" /qn"), 0);
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_FALSE(FileExistsAt(exe));
    EXPECT_FALSE(FileExistsAt(shortcut_));
    EXPECT_FALSE(RunValuePresent());
    EXPECT_EQ(testing::ReadFileBytes(folder_ + L"vigilon.ini"), kSettings);
    EXPECT_EQ(testing::ReadFileBytes(folder_ + L"vigilon.log"), history);
}

TEST_F(InstallerTest, PresetsForFleetsAndARebuildOfTheSameVersionInstallInPlace) {
    // An administrator's preset settings and start at logon, on the command line.
    testing::TempFolder share;
    std::wstring const preset = share / L"vigilon.ini";
    WriteTextFile(preset, L"[Apps]\r\nNumber=1\r\nApp1=Kiosk\r\n[Kiosk]\r\nCaption=Kiosk -\r\n");
    SetFileAttributesW(preset.c_str(), FILE_ATTRIBUTE_READONLY);  // as on a share the users may only read
    // Another copy, still there, starts at logon: STARTATLOGON=1 gives the start to this one.
    std::wstring const other = L"\"" + (share / L"vigilon.exe") + L"\"";
    WriteTextFile(share / L"vigilon.exe", L"");
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Vigilon", REG_SZ, other.c_str(),
                    static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t)));
    ASSERT_EQ(Msiexec(L"/i " + Package(VIGILON_TEST_VERSION) + L" SETTINGS=\"" + preset + L"\" STARTATLOGON=1 /qn"), 0);
    std::wstring const exe = folder_ + L"vigilon.exe";
    EXPECT_EQ(testing::ReadFileBytes(folder_ + L"vigilon.ini"), testing::ReadFileBytes(preset));
    EXPECT_EQ(GetFileAttributesW((folder_ + L"vigilon.ini").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    wchar_t run[MAX_PATH] = L"";
    DWORD size = sizeof(run);
    RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Vigilon", RRF_RT_REG_SZ, nullptr, run, &size);
    EXPECT_EQ(std::wstring(run), L"\"" + exe + L"\"");

    // A rebuild of the same version replaces it in place, and never replaces the user's settings.
    WriteTextFile(folder_ + L"vigilon.ini", L"[Apps]\r\nNumber=0\r\n");
    ASSERT_EQ(Msiexec(L"/i " + Package(std::wstring(VIGILON_TEST_VERSION) + L"-rebuild") + L" SETTINGS=\"" + preset +
                      L"\" /qn"),
              0);
    EXPECT_EQ(InstalledProducts().size(), 1u) << "one entry in Apps & features";
    EXPECT_EQ(testing::ReadFileBytes(folder_ + L"vigilon.ini"), kSettings);
    SetFileAttributesW(preset.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace vigilon::e2e
