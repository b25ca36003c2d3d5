#include <gtest/gtest.h>

#include "app/options.h"
#include "app/remote_command.h"
#include "app/setting_source.h"
#include "fakes/fake_profile_store.h"
#include "fakes/fake_registry.h"
#include "ui/options_logic.h"
#include "ui/remote_answers.h"

namespace vigilon {
namespace {

constexpr wchar_t kIni[] = L"C:\\V\\vigilon.ini";

class AlertOptionsTest : public ::testing::Test {
protected:
    testing::FakeProfileStore store;
    testing::FakeRegistry registry;
    SettingsFile settings{store, kIni};
};

TEST_F(AlertOptionsTest, TheKeysAreReadFromAPolicyFirstAndOptionsWritesOnlyWhatSaysSomething) {
    Options options = LoadOptions(settings, registry);
    EXPECT_EQ(options.alertUrl, L"");
    EXPECT_EQ(options.alertFormat, AlertFormat::Auto);
    EXPECT_EQ(options.alertAfter, 60);

    store.Set(kIni, L"Apps", L"AlertUrl", L"https://hooks.slack.com/services/T/B/s3cret");
    store.Set(kIni, L"Apps", L"AlertFormat", L"text");
    store.Set(kIni, L"Apps", L"AlertAfter", L"120");
    store.Set(kIni, L"Apps", L"AlertKinds", L"gone,recovered");
    registry.SetString(RegistryRoot::LocalMachine, kPolicyKeyPath, L"AlertUrl", L"https://ntfy.sh/k1osk");
    registry.SetString(RegistryRoot::LocalMachine, kPolicyKeyPath, L"AlertFormat", L"Mail");  // passed over
    options = LoadOptions(settings, registry);
    EXPECT_EQ(options.alertUrl, L"https://ntfy.sh/k1osk");
    EXPECT_TRUE(options.locked.alertUrl);
    EXPECT_EQ(options.alertFormat, AlertFormat::Text);
    EXPECT_FALSE(options.locked.alertFormat);
    EXPECT_EQ(options.alertAfter, 120);
    EXPECT_EQ(options.alertKinds, L"gone,recovered");
    EXPECT_EQ(PolicySummary(settings, registry),
              L"AlertUrl (machine policy), AlertFormat=Mail (machine policy) ignored: not Auto, Json, Text, Teams, "
              L"Slack, Discord, Ntfy or Gotify")
        << "the URL named, never shown: it holds the webhook's secret";

    // Refused (plain HTTP away from this computer), it is still named only.
    registry.SetString(RegistryRoot::LocalMachine, kPolicyKeyPath, L"AlertUrl", L"http://chat.example.com/s3cret?t0k");
    std::wstring const refused = PolicySummary(settings, registry);
    EXPECT_NE(refused.find(L"AlertUrl (machine policy) ignored: not HTTPS"), std::wstring::npos) << refused;
    EXPECT_EQ(refused.find(L"s3cret"), std::wstring::npos) << refused;
    EXPECT_EQ(refused.find(L"t0k"), std::wstring::npos) << refused;

    registry.DeleteValue(RegistryRoot::LocalMachine, kPolicyKeyPath, L"AlertUrl");
    options = LoadOptions(settings, registry);
    Options changed = options;
    changed.alertUrl.clear();
    changed.alertFormat = AlertFormat::Auto;
    changed.alertAfter = 0;
    EXPECT_EQ(ChangedOptions(options, changed), L"AlertUrl, AlertFormat=Auto, AlertAfter=0");
    ASSERT_TRUE(SaveOptions(changed, settings));
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"AlertUrl", L"-"), L"-") << "removed, not left empty";
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"AlertFormat", L"-"), L"-");
    EXPECT_EQ(settings.ReadIniValue(L"Apps", L"AlertAfter", L""), L"0");
}

TEST(AlertsRow, TakesAnHttpsAddressAndSecondsFrom0To3600AndRefusesAnythingElseNamingTheRow) {
    AlertsChoice choice = ChooseAlerts(L"  https://discord.com/api/webhooks/1/x ", 5, L"90");
    EXPECT_EQ(choice.refusal, L"");
    EXPECT_EQ(choice.url, L"https://discord.com/api/webhooks/1/x");
    EXPECT_EQ(choice.format, AlertFormat::Discord);
    EXPECT_EQ(choice.afterSeconds, 90);
    EXPECT_EQ(ChooseAlerts(L"", 0, L"").afterSeconds, 60) << "an empty box is the default";
    EXPECT_EQ(AlertFormatLabels().size(), static_cast<std::size_t>(AlertFormat::Gotify) + 1);
    EXPECT_EQ(ChooseAlerts(L"", static_cast<int>(AlertFormat::Gotify), L"").format, AlertFormat::Gotify)
        << "the list's last entry is taken";

    choice = ChooseAlerts(L"http://chat.example.com/hook", 0, L"60");
    EXPECT_EQ(choice.refusal,
              L"Post alerts to this address: not HTTPS: plain HTTP only to this computer (localhost, 127.0.0.1, [::1]).");
    EXPECT_FALSE(choice.refusedAfter);
    choice = ChooseAlerts(L"", 0, L"3601");
    EXPECT_EQ(choice.refusal, L"After a program is down for: type a whole number of seconds from 0 to 3600.");
    EXPECT_TRUE(choice.refusedAfter);
}

TEST(AlertTestCommand, IsSlashAlertTestOnlyAndPrintsTheServicesAnswerExitingByIt) {
    EXPECT_EQ(RemoteRequestFromArguments(L"/alert test"), (RemoteRequest{RemoteVerb::AlertTest, {}}));
    EXPECT_EQ(RemoteRequestFromArguments(L" /ALERT  Test "), (RemoteRequest{RemoteVerb::AlertTest, {}}));
    EXPECT_EQ(RemoteRequestFromArguments(L"/alert"), std::nullopt);
    EXPECT_EQ(RemoteRequestFromArguments(L"/alert now"), std::nullopt);
    EXPECT_NE(RemoteMisuse(L"/alert").find(L"/alert test"), std::wstring::npos);
    EXPECT_EQ(DecodeRequest(EncodeRequest({RemoteVerb::AlertTest, {}})), (RemoteRequest{RemoteVerb::AlertTest, {}}));

    RemoteAnswer const accepted =
        AlertTestAnswerOf(L"https://hooks.slack.com", HttpClient::Outcome{true, 200, {}, "ok"});
    EXPECT_EQ(accepted, (RemoteAnswer{kRemoteDone, L"Accepted by https://hooks.slack.com: HTTP 200.\r\nok\r\n"}));
    RemoteAnswer const refused = AlertTestAnswerOf(
        L"https://discord.com", HttpClient::Outcome{false, 400, L"HTTP status 400", "{\"embeds\": [\"0\"]}\n\xC3\xA9"});
    EXPECT_EQ(refused.code, kRemoteNotDone);
    EXPECT_EQ(refused.text, L"Not accepted by https://discord.com: HTTP 400.\r\n{\"embeds\": [\"0\"]}\n??\r\n");
    RemoteAnswer const unreached = AlertTestAnswerOf(
        L"https://ntfy.sh", HttpClient::Outcome{false, 0, L"the server could not be reached", {}});
    EXPECT_EQ(unreached.text, L"Not accepted by https://ntfy.sh: the server could not be reached.\r\n");
}

// A target whose AlertUrl is set or not; every other command does nothing.
class AlertTarget final : public RemoteTarget {
public:
    WatchEngine::AskedAlertTest asked;
    StatusSnapshot Snapshot() override { return {}; }
    void Pause() override {}
    void Resume() override {}
    WatchEngine::RestartAnswer Restart(std::wstring const&) override { return {}; }
    StartReply Start(std::wstring const&) override { return {}; }
    void Close() override {}
    WatchEngine::AskedScreenshot Screenshot(std::wstring const&) override { return {}; }
    WatchEngine::AskedAlertTest AlertTest() override { return asked; }
    void Exit() override {}
    void OpenEditor() override {}
};

TEST(AlertTestCommand, ItsAnswerFollowsAndWithoutAnAlertUrlItSaysHowToSetOne) {
    AlertTarget target;
    target.asked = {WatchEngine::AskedAlertTest::Kind::Begun, 7, L"https://ntfy.sh"};
    EXPECT_EQ(AnswerRemote({RemoteVerb::AlertTest, {}}, target).code, kRemoteLater);
    target.asked = {WatchEngine::AskedAlertTest::Kind::Off, 0, {}};
    RemoteAnswer const off = AnswerRemote({RemoteVerb::AlertTest, {}}, target);
    EXPECT_EQ(off.code, kRemoteUnknown);
    EXPECT_NE(off.text.find(L"AlertUrl"), std::wstring::npos);
}

}  // namespace
}  // namespace vigilon
