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

TEST_F(OptionsTest, AcceptingWritesAtOnceAndReportsWhatFailed) {
    EXPECT_TRUE(AcceptOptions({true, true}, settings, registry, system, kExe));
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

}  // namespace
}  // namespace vigilon
