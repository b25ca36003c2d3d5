#include <gtest/gtest.h>

#include "app/key_value.h"
#include "app/options.h"
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

TEST_F(OptionsTest, TrayNoticesOnlyForTrayAndLogonAsTheRegistryHasIt) {
    EXPECT_FALSE(LoadOptions(settings, registry).trayNotices);
    for (wchar_t const* value : {L"Box", L"Balloon", L""}) {
        store.Set(kIni, L"Apps", L"Notices", value);
        EXPECT_FALSE(LoadOptions(settings, registry).trayNotices) << value;
    }
    store.Set(kIni, L"Apps", L"Notices", L"tray");
    EXPECT_TRUE(LoadOptions(settings, registry).trayNotices);
    EXPECT_FALSE(LoadOptions(settings, registry).startAtLogon);
    registry.SetString(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, L"\"D:\\elsewhere.exe\"");
    EXPECT_TRUE(LoadOptions(settings, registry).startAtLogon);
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
    EXPECT_EQ(HangSecondsChosen(false, L"20"), 0);
    EXPECT_EQ(HangSecondsChosen(true, L"20"), 20);
    EXPECT_EQ(HangSecondsChosen(true, L""), kDefaultHangSeconds);
}

TEST_F(OptionsTest, AcceptingWritesAtOnceAndReportsWhatFailed) {
    EXPECT_TRUE(AcceptOptions({true, true, true, 12}, settings, registry, system, kExe));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"Backoff", L""), L"1");
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"HangSeconds", L""), L"12");
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"Notices", L""), L"Tray");
    std::wstring run;
    ASSERT_TRUE(GetKeyValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, run));
    EXPECT_EQ(run, L"\"C:\\V\\vigilon.exe\"");

    EXPECT_TRUE(AcceptOptions({false, false}, settings, registry, system, kExe));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"Notices", L""), L"Box");
    EXPECT_FALSE(LoadOptions(settings, registry).startAtLogon);
    EXPECT_TRUE(system.messages.empty());

    store.FailWrites(kIni);
    registry.DenyWriteAccess(RegistryRoot::CurrentUser, kRunKeyPath);
    EXPECT_FALSE(AcceptOptions({true, true}, settings, registry, system, kExe));
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_NE(system.messages[0].text.find(L"could not be saved to C:\\V\\vigilon.ini"), std::wstring::npos);
}

TEST_F(OptionsTest, TheInstallerForgetsOnlyThisCopysLogonStartAndSetsOneOnlyWhenNoneIsThere) {
    auto run = [&] {
        std::wstring value;
        return GetKeyValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, value) ? value : L"-";
    };
    EXPECT_TRUE(ForgetStartAtLogon(registry, kExe));  // nothing to forget
    registry.SetString(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, L"\"D:\\Portable\\vigilon.exe\"");
    EXPECT_TRUE(ForgetStartAtLogon(registry, kExe));
    EXPECT_EQ(run(), L"\"D:\\Portable\\vigilon.exe\"");
    for (std::wstring const value : {L"\"c:\\v\\VIGILON.exe\"", L"C:\\V\\vigilon.exe"}) {
        registry.SetString(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, value);
        EXPECT_TRUE(ForgetStartAtLogon(registry, kExe)) << value;
        EXPECT_EQ(run(), L"-") << value;
    }
    EXPECT_TRUE(SetStartAtLogonIfMissing(registry, kExe));
    EXPECT_EQ(run(), L"\"C:\\V\\vigilon.exe\"");
    registry.SetString(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, L"D:\\other.exe");
    EXPECT_TRUE(SetStartAtLogonIfMissing(registry, kExe));
    EXPECT_EQ(run(), L"D:\\other.exe");
}

}  // namespace
}  // namespace vigilon
