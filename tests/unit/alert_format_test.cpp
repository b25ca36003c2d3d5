#include <gtest/gtest.h>

#include "app/alert_options.h"
#include "engine/outputs/alert_body.h"
#include "support/utf8.h"
#include "unit/strict_json.h"

namespace vigilon {
namespace {

using testing::JsonValue;
using testing::StrictJson;

TEST(AlertUrl, HttpsAnywhereHttpOnlyToThisComputerAndOnlyTheSchemeAndHostAreEverShown) {
    EXPECT_EQ(AlertUrlProblem(L"https://hooks.slack.com/services/T0/B0/secret"), L"");
    EXPECT_EQ(AlertUrlProblem(L"HTTPS://ntfy.sh/topic"), L"");
    for (wchar_t const* local : {L"http://127.0.0.1:8080/hook", L"http://127.4.5.6/", L"http://localhost:9/x",
                                 L"http://[::1]:8080/x", L"http://LocalHost/x"}) {
        EXPECT_EQ(AlertUrlProblem(local), L"") << local;
    }
    EXPECT_EQ(AlertUrlProblem(L"http://chat.example.com/hook"),
              L"not HTTPS: plain HTTP only to this computer (localhost, 127.0.0.1, [::1])");
    EXPECT_NE(AlertUrlProblem(L"http://127.0.0.1.evil.example/"), L"") << "a name that merely starts like one";
    EXPECT_NE(AlertUrlProblem(L"http://localhost@evil.example/"), L"") << "the host is after the user name";
    EXPECT_EQ(AlertUrlProblem(L"ftp://example.com/x"), L"not an http:// or https:// URL with a host");
    EXPECT_EQ(AlertUrlProblem(L"https:///path"), L"not an http:// or https:// URL with a host");
    EXPECT_EQ(AlertUrlProblem(L"https://example.com/a b"), L"a URL holds no blanks");
    // What WinHTTP would read as another host, or not take at all, is refused.
    for (wchar_t const* odd : {L"http://evil.com\\@localhost/", L"http://a@localhost/", L"https://host:99999/",
                               L"https://host:0/", L"https://ho%73t/", L"https://host\\x.example/"}) {
        EXPECT_EQ(AlertUrlProblem(odd), L"not an http:// or https:// URL with a host") << odd;
    }
    EXPECT_EQ(AlertUrlProblem(L"https://host:65535/"), L"");

    EXPECT_EQ(AlertSite(L"https://outlook.webhook.office.com:8443/webhookb2/abc?sig=s#f"),
              L"https://outlook.webhook.office.com:8443");
    EXPECT_EQ(AlertSite(L"http://[::1]:8080/x?token=1"), L"http://[::1]:8080");
}

TEST(AlertUrl, AutoPicksTheServiceByItsHostAndElseJson) {
    struct Case {
        wchar_t const* url;
        AlertFormat format;
    } const cases[] = {
        {L"https://hooks.slack.com/services/T0/B0/x", AlertFormat::Slack},
        {L"https://discord.com/api/webhooks/1/x", AlertFormat::Discord},
        {L"https://canary.discordapp.com/api/webhooks/1/x", AlertFormat::Discord},
        {L"https://discord.com/channels/1", AlertFormat::Json},  // not a webhook
        {L"https://contoso.webhook.office.com/webhookb2/x", AlertFormat::Teams},
        {L"https://prod-12.westeurope.logic.azure.com:443/workflows/x/triggers/manual/paths/invoke?sig=s",
         AlertFormat::Teams},
        {L"https://default1.environment.api.powerplatform.com/powerautomate/x", AlertFormat::Teams},
        {L"https://ntfy.sh/kiosk-alerts", AlertFormat::Ntfy},
        {L"https://ntfy.example.com/kiosk", AlertFormat::Json},  // a server of one's own: AlertFormat=Ntfy
        // Gotify has no host of its own: its message endpoint with an application's token.
        {L"https://push.example.com/message?token=AbC.d", AlertFormat::Gotify},
        {L"https://push.example.com:8443/message?priority=5&token=AbC", AlertFormat::Gotify},
        {L"https://push.example.com/message", AlertFormat::Json},                    // no token
        {L"https://push.example.com/message?mytoken=AbC", AlertFormat::Json},        // another parameter
        {L"https://push.example.com/gotify/message?token=AbC", AlertFormat::Json},   // under a sub-path
        {L"https://push.example.com/messages?token=AbC", AlertFormat::Json},
        {L"https://evilhooks.slack.com.example/x", AlertFormat::Json},
        {L"http://127.0.0.1:9/x", AlertFormat::Json},
    };
    for (Case const& c : cases) EXPECT_EQ(AlertFormatFor(AlertFormat::Auto, c.url), c.format) << c.url;
    EXPECT_EQ(AlertFormatFor(AlertFormat::Text, L"https://hooks.slack.com/services/x"), AlertFormat::Text);
}

TEST(AlertSettings, FormatAfterAndKindsAreReadAsWrittenAndRefusedWithAReason) {
    EXPECT_EQ(AlertFormatFrom(L"teams"), AlertFormat::Teams);
    EXPECT_EQ(AlertFormatFrom(L""), AlertFormat::Auto);
    EXPECT_EQ(AlertFormatFrom(L"GOTIFY"), AlertFormat::Gotify);
    EXPECT_EQ(AlertFormatName(AlertFormat::Gotify), L"Gotify");
    EXPECT_EQ(AlertFormatFrom(L"Mail"), std::nullopt);
    EXPECT_EQ(AlertAfterFrom(L""), 60);
    EXPECT_EQ(AlertAfterFrom(L"0"), 0);
    EXPECT_EQ(AlertAfterFrom(L"99999"), 3600);
    EXPECT_EQ(AlertKindsFrom(L"Gone, hung;memory  recovered"),
              (std::vector<std::wstring>{L"gone", L"hung", L"memory", L"recovered"}));
    EXPECT_EQ(AlertKindsProblem(L"gone,missing-file"), L"");
    EXPECT_NE(AlertKindsProblem(L"gone,crash").find(L"\"crash\" is not a kind of trouble"), std::wstring::npos);
}

// A name with quotes, a backslash, a line break, accents, CJK and a character outside the BMP.
constexpr wchar_t kAwkward[] = L"Say \"hi\" \\ <b>&\nGr\u00fc\u00dfe \u65e5\u672c \U0001F600";

AlertEvent Event(bool withFacts) {
    AlertEvent event;
    event.kind = L"gone";
    event.program = kAwkward;
    event.details = L"exit code 3\r\nsecond line";
    event.screenshot = L"C:\\Vigilon\\screenshots\\a \"b\".png";
    event.computer = L"KIOSK-7";
    event.time = LocalTime{2026, 12, 10, 16, 40, 5, 0, 60};
    if (withFacts) {
        ProgramFacts facts;
        facts.row.name = kAwkward;
        facts.row.state = StatusState::Waiting;
        facts.row.starts = 3;
        event.facts = facts;
    }
    return event;
}

JsonValue Parsed(AlertRequest const& request) {
    std::optional<JsonValue> value = StrictJson::Parse(request.body);
    EXPECT_TRUE(value.has_value()) << request.body;
    EXPECT_EQ(request.contentType, "application/json; charset=utf-8");
    return value.value_or(JsonValue{});
}

std::string Utf8(std::wstring_view text) { return ToUtf8(text); }

TEST(AlertBody, JsonIsTheProgramsStatusEntryWithTheEventAndVigilonsOwnHaveANullName) {
    JsonValue const json = Parsed(AlertRequestFor(AlertFormat::Json, L"https://h/x", Event(true)));
    EXPECT_EQ(json["name"].text, Utf8(kAwkward));
    EXPECT_EQ(json["state"].text, "waiting");  // the words of /status /json
    EXPECT_EQ(json["starts"].number, 3);
    EXPECT_TRUE(json.Has("lastEvent") && json.Has("upSince") && json.Has("processId"));
    EXPECT_EQ(json["computer"].text, "KIOSK-7");
    EXPECT_EQ(json["time"].text, "2026-12-10T16:40:05+01:00");
    EXPECT_EQ(json["kind"].text, "gone");
    EXPECT_EQ(json["details"].text, "exit code 3\r\nsecond line");
    EXPECT_EQ(json["screenshot"].text, "C:\\Vigilon\\screenshots\\a \"b\".png");

    AlertEvent own = Event(false);
    own.program.clear();
    own.kind = L"heartbeat";
    own.screenshot.clear();
    JsonValue const ownJson = Parsed(AlertRequestFor(AlertFormat::Json, L"https://h/x", own));
    EXPECT_EQ(ownJson["name"].type, JsonValue::Type::Null);
    EXPECT_EQ(ownJson["screenshot"].type, JsonValue::Type::Null);
    EXPECT_EQ(ownJson["kind"].text, "heartbeat");
}

TEST(AlertBody, EachServiceCarriesTheTitleTheDetailsTheComputerAndTheTime) {
    AlertEvent const event = Event(false);
    std::string const title = Utf8(std::wstring(kAwkward) + L": gone");

    JsonValue const teams = Parsed(AlertRequestFor(AlertFormat::Teams, L"https://x.webhook.office.com/a", event));
    EXPECT_EQ(teams["type"].text, "message");
    JsonValue const& card = teams["attachments"][0]["content"];
    EXPECT_EQ(teams["attachments"][0]["contentType"].text, "application/vnd.microsoft.card.adaptive");
    EXPECT_EQ(card["type"].text, "AdaptiveCard");
    EXPECT_EQ(card["body"][0]["text"].text, title);
    EXPECT_EQ(card["body"][1]["text"].text, "exit code 3\r\nsecond line");
    EXPECT_EQ(card["body"][2]["facts"][0]["value"].text, "KIOSK-7");
    EXPECT_EQ(card["body"][2]["facts"][1]["value"].text, "2026-12-10 16:40:05");

    // Slack reads <, > and & as markup: they are written as entities.
    JsonValue const slack = Parsed(AlertRequestFor(AlertFormat::Slack, L"https://hooks.slack.com/s", event));
    EXPECT_EQ(slack["blocks"][0]["text"]["text"].text, title) << "a header is plain text";
    EXPECT_NE(slack["text"].text.find("&lt;b&gt;&amp;"), std::string::npos);
    EXPECT_EQ(slack["text"].text.find("<b>"), std::string::npos);
    EXPECT_EQ(slack["blocks"][2]["elements"][0]["text"].text, Utf8(L"KIOSK-7 \u00b7 2026-12-10 16:40:05"));

    JsonValue const discord = Parsed(AlertRequestFor(AlertFormat::Discord, L"https://discord.com/api/webhooks/1", event));
    JsonValue const& embed = discord["embeds"][0];
    EXPECT_EQ(embed["title"].text, title);
    EXPECT_EQ(embed["description"].text, "exit code 3\r\nsecond line");
    EXPECT_EQ(embed["fields"][0]["value"].text, "KIOSK-7");
    EXPECT_EQ(embed["timestamp"].text, "2026-12-10T16:40:05+01:00");
    EXPECT_TRUE(discord["allowed_mentions"]["parse"].items.empty()) << "a name with @everyone mentions nobody";

    // ntfy: posted to the server's root, the topic in the body, the access token kept.
    AlertRequest const ntfy = AlertRequestFor(AlertFormat::Ntfy, L"https://ntfy.sh/kiosk-alerts?auth=tk", event);
    EXPECT_EQ(ntfy.url, L"https://ntfy.sh/?auth=tk");
    JsonValue const ntfyJson = Parsed(ntfy);
    EXPECT_EQ(ntfyJson["topic"].text, "kiosk-alerts");
    EXPECT_EQ(ntfyJson["title"].text, title);
    EXPECT_EQ(ntfyJson["message"].text, Utf8(L"exit code 3\r\nsecond line\nKIOSK-7 \u00b7 2026-12-10 16:40:05"));
    // A server under a sub-path: the plain text, to the URL as given.
    AlertRequest const under = AlertRequestFor(AlertFormat::Ntfy, L"https://example.com/ntfy/kiosks?auth=tk", event);
    EXPECT_EQ(under.url, L"https://example.com/ntfy/kiosks?auth=tk");
    EXPECT_EQ(under.contentType, "text/plain; charset=utf-8");

    // Gotify: to the URL as given (the token in its query), louder for a trouble than a recovery.
    AlertRequest const gotify = AlertRequestFor(AlertFormat::Gotify, L"https://push.example.com/message?token=AbC", event);
    EXPECT_EQ(gotify.url, L"https://push.example.com/message?token=AbC");
    JsonValue const gotifyJson = Parsed(gotify);
    EXPECT_EQ(gotifyJson["title"].text, title);
    EXPECT_EQ(gotifyJson["message"].text, Utf8(L"exit code 3\r\nsecond line\nKIOSK-7 \u00b7 2026-12-10 16:40:05"));
    EXPECT_EQ(gotifyJson["priority"].number, 8);
    AlertEvent recovered = event;
    recovered.kind = L"recovered";
    recovered.problem = false;
    EXPECT_EQ(Parsed(AlertRequestFor(AlertFormat::Gotify, gotify.url, recovered))["priority"].number, 4);

    AlertRequest const text = AlertRequestFor(AlertFormat::Text, L"https://h/x", event);
    EXPECT_EQ(text.contentType, "text/plain; charset=utf-8");
    EXPECT_EQ(text.body, Utf8(L"[Vigilon on KIOSK-7] Say \"hi\" \\ <b>& Gr\u00fc\u00dfe \u65e5\u672c \U0001F600: gone: "
                              L"exit code 3  second line (2026-12-10 16:40:05)\r\n"))
        << "one line";
}

TEST(AlertBody, LongDetailsAreCutToWhatEachServiceTakes) {
    AlertEvent event = Event(false);
    event.details = std::wstring(5000, L'x');
    JsonValue const discord = Parsed(AlertRequestFor(AlertFormat::Discord, L"https://discord.com/api/webhooks/1", event));
    EXPECT_EQ(discord["embeds"][0]["description"].text, std::string(4095, 'x') + "\xE2\x80\xA6");
    JsonValue const slack = Parsed(AlertRequestFor(AlertFormat::Slack, L"https://hooks.slack.com/s", event));
    EXPECT_EQ(slack["blocks"][1]["text"]["text"].text, std::string(2999, 'x') + "\xE2\x80\xA6");
    // Cut before an entity, never within one.
    event.details = std::wstring(2996, L'x') + std::wstring(100, L'&');
    JsonValue const ampersands = Parsed(AlertRequestFor(AlertFormat::Slack, L"https://hooks.slack.com/s", event));
    EXPECT_EQ(ampersands["blocks"][1]["text"]["text"].text, std::string(2996, 'x') + "\xE2\x80\xA6");
}

}  // namespace
}  // namespace vigilon
