#include <gtest/gtest.h>

#include <algorithm>

#include "engine/outputs/alert_delivery.h"
#include "fakes/engine_scene.h"
#include "unit/strict_json.h"

namespace vigilon {
namespace {

using testing::JsonValue;
using testing::StrictJson;

constexpr wchar_t kChatUrl[] = L"https://chat.example.com/hooks/s3cret?token=t0k";

// What the delivery tells: the history's lines, the notices and the troubles, kept in order.
class ListJournal final : public SupervisionJournal {
public:
    std::vector<std::wstring> lines, notices, troubles;
    void Log(std::wstring_view event, std::wstring_view, std::wstring_view details) override {
        lines.push_back(std::wstring(event) + L": " + std::wstring(details));
    }
    void Report(std::wstring const& message, std::wstring_view) override { notices.push_back(message); }
    void Notice(std::wstring const& text) override { notices.push_back(text); }
    void Trouble(TroubleKind kind, std::wstring_view, std::wstring_view details, std::wstring_view) override {
        troubles.push_back(std::to_wstring(Describe(kind).eventId) + L" " + std::wstring(details));
    }
    std::uint32_t BeginScreenshot(WindowHandle, std::wstring_view, std::wstring_view, bool) override { return 0; }
    std::optional<std::wstring> ScreenshotTaken(std::uint32_t) override { return std::wstring(); }
};

AlertEvent Event(std::wstring program) {
    AlertEvent event;
    event.kind = L"gone";
    event.program = std::move(program);
    event.details = L"d";
    event.computer = L"KIOSK-7";
    return event;
}

// A delivery to a chat room's webhook as plain text, on the fake platform's clock.
struct DeliveryScene {
    DeliveryScene() { delivery.Set(kChatUrl, AlertFormat::Text); }

    void Seconds(int count) {
        for (int i = 0; i < count; ++i) {
            delivery.Tick();
            fake.events.now += 1000;
        }
    }
    std::size_t Posts() const { return fake.http.requests.size(); }
    std::string LastBody() const { return fake.http.requests.back().body; }

    testing::FakePlatform fake;
    ListJournal journal;
    AlertDelivery delivery{fake.view, journal};
};

class AlertDeliveryTest : public ::testing::Test, protected DeliveryScene {};

TEST_F(AlertDeliveryTest, AFailedPostIsTriedAfter30s2minAnd10minThenSaidOnceUntilOneIsDeliveredInOrder) {
    delivery.Add(Event(L"First"));
    delivery.Add(Event(L"Second"));
    Seconds(1);
    ASSERT_EQ(Posts(), 1u);
    EXPECT_EQ(fake.http.requests[0].url, kChatUrl);
    EXPECT_EQ(fake.http.requests[0].timeoutMilliseconds, 10'000);
    EXPECT_NE(LastBody().find("First: gone"), std::string::npos);
    Seconds(60);
    EXPECT_EQ(Posts(), 1u) << "one post at a time: the second waits for the first";

    for (int const wait : {30, 120, 600}) {
        fake.http.Fail(L"the server could not be reached");
        std::size_t const before = Posts();
        Seconds(wait);  // the failure is taken at the first of these seconds; the retry is due `wait` after it
        EXPECT_EQ(Posts(), before) << "not before " << wait << " s";
        Seconds(1);
        ASSERT_EQ(Posts(), before + 1) << "tried again " << wait << " s later";
        EXPECT_NE(LastBody().find("First: gone"), std::string::npos) << "the same one, kept in order";
    }
    EXPECT_TRUE(journal.lines.empty()) << "nothing said before the last try";
    fake.http.Answer(503);
    Seconds(1);
    // Given up: said once, the site alone; the next one goes at once and counts the one lost.
    EXPECT_EQ(journal.lines, std::vector<std::wstring>{
                                 L"alert: https://chat.example.com: answered with HTTP status 503 (given up after 4 tries)"});
    EXPECT_EQ(journal.notices.size(), 1u);
    EXPECT_EQ(journal.troubles, std::vector<std::wstring>{
                                    L"2130 https://chat.example.com: answered with HTTP status 503 (given up after 4 tries)"});
    Seconds(1);
    ASSERT_EQ(Posts(), 5u);
    EXPECT_NE(LastBody().find("Second: gone: d (1 earlier alert was not delivered)"), std::string::npos) << LastBody();
    fake.http.Answer(404);  // Second given up too
    Seconds(2);
    EXPECT_EQ(journal.lines.size(), 1u) << "said once until one is delivered";

    delivery.Add(Event(L"Third"));
    Seconds(1);
    fake.http.Answer(200);
    Seconds(1);
    EXPECT_EQ(journal.lines.back(), L"alert: delivered again to https://chat.example.com");
    for (auto const& line : journal.lines) EXPECT_EQ(line.find(L"s3cret"), std::wstring::npos);
    for (auto const& line : journal.lines) EXPECT_EQ(line.find(L"t0k"), std::wstring::npos);
}

// What becomes of a post by its answer. A client error says the same post would be refused again:
// given up at once, and the next goes at once. No answer, a server error, a time-out or "too many
// requests" pass: tried again after 30 s.
TEST(AlertDeliveryAnswers, AClientErrorIsGivenUpAtOnceAndAnyOtherFailureIsTriedAgainAfter30s) {
    for (std::uint32_t const status : {0u, 503u, 408u, 429u, 404u, 410u}) {  // 0: no answer at all
        bool const givenUp = status == 404 || status == 410;
        DeliveryScene scene;
        scene.delivery.Add(Event(L"First"));
        scene.delivery.Add(Event(L"Second"));
        scene.Seconds(1);
        if (status == 0) scene.fake.http.Fail(L"the server could not be reached");
        else scene.fake.http.Answer(status);
        scene.Seconds(givenUp ? 2 : 30);
        if (!givenUp) {
            EXPECT_EQ(scene.Posts(), 1u) << status << ": not before 30 s";
            scene.Seconds(1);
        }
        ASSERT_EQ(scene.Posts(), 2u) << status;
        EXPECT_NE(scene.LastBody().find(givenUp ? "Second: gone: d (1 earlier alert was not delivered)" : "First: gone"),
                  std::string::npos) << status;
        std::wstring const said = L"alert: https://chat.example.com: answered with HTTP status " + std::to_wstring(status) +
                                  L" (given up at once)";
        EXPECT_EQ(scene.journal.lines, givenUp ? std::vector{said} : std::vector<std::wstring>{}) << status;
    }
}

TEST_F(AlertDeliveryTest, AnAcceptedTestSendsWhatWaitsForARetryAtOnceAndEndsTheFailureSaid) {
    delivery.Add(Event(L"First"));
    Seconds(1);
    fake.http.Answer(404);
    Seconds(1);
    ASSERT_EQ(journal.lines.size(), 1u) << "given up, and said";
    delivery.Add(Event(L"Second"));
    Seconds(1);
    fake.http.Fail(L"the server could not be reached");
    Seconds(2);  // Second waits 30 s for its retry
    std::size_t const before = Posts();

    AlertEvent test = Event(L"");
    test.kind = L"test";
    ASSERT_TRUE(delivery.BeginTest(test).has_value());
    fake.http.Answer(200);
    EXPECT_EQ(delivery.SettledTests().size(), 1u);
    EXPECT_EQ(journal.lines.back(), L"alert: delivered again to https://chat.example.com");
    Seconds(1);
    ASSERT_EQ(Posts(), before + 2) << "the test, then Second at once";
    EXPECT_NE(LastBody().find("Second: gone"), std::string::npos);
}

TEST_F(AlertDeliveryTest, AtMostAHundredWaitTheOldestDroppedAndCountedInTheNextDelivered) {
    delivery.Add(Event(L"P0"));
    Seconds(1);  // P0 under way
    for (int i = 1; i <= 105; ++i) delivery.Add(Event(L"P" + std::to_wstring(i)));
    EXPECT_EQ(delivery.Waiting(), 100u);
    fake.http.Answer(200);
    Seconds(2);
    ASSERT_EQ(Posts(), 2u);
    EXPECT_NE(LastBody().find("P7: gone: d (6 earlier alerts were not delivered)"), std::string::npos)
        << "P1 to P6 dropped, the one under way kept: " << LastBody();
    fake.http.Answer(200);
    Seconds(2);
    EXPECT_NE(LastBody().find("P8: gone: d"), std::string::npos);
    EXPECT_EQ(LastBody().find("earlier"), std::string::npos) << "counted once, in the one delivered";

    // The first, waiting for its retry, dropped: the next does not wait for that retry's time.
    fake.http.Fail(L"the server could not be reached");
    Seconds(1);
    while (delivery.Waiting() < 100) delivery.Add(Event(L"Q"));
    std::size_t const before = Posts();
    delivery.Add(Event(L"Last"));
    Seconds(1);
    EXPECT_EQ(Posts(), before + 1) << "the new first goes at once";
}

TEST_F(AlertDeliveryTest, ATestGoesAtOnceIsNeverRetriedAndAnEmptyOrRefusedUrlSendsNothing) {
    AlertEvent test = Event(L"");
    test.kind = L"test";
    std::optional<std::uint32_t> const id = delivery.BeginTest(test);
    ASSERT_TRUE(id.has_value());
    EXPECT_TRUE(delivery.SettledTests().empty());
    fake.http.Answer(200, "ok");
    std::vector<AlertDelivery::SettledTest> const settled = delivery.SettledTests();
    ASSERT_EQ(settled.size(), 1u);
    EXPECT_EQ(settled[0].id, *id);
    EXPECT_EQ(settled[0].outcome.answer, "ok");
    Seconds(1000);
    EXPECT_EQ(Posts(), 1u);

    delivery.Set(L"http://chat.example.com/hook", AlertFormat::Json);  // plain HTTP away from this computer
    EXPECT_FALSE(delivery.On());
    delivery.Add(Event(L"P"));
    Seconds(5);
    EXPECT_FALSE(delivery.BeginTest(test).has_value());
    EXPECT_EQ(Posts(), 1u);
}

// The engine: a program that stays down past AlertAfter is alerted once as JSON, and its return
// once as `recovered`; one back within AlertAfter sends nothing.
class EngineAlertTest : public ::testing::Test, protected testing::EngineScene {
protected:
    EngineAlertTest() {
        engine.SetNoticeMode(NoticeMode::Tray);
        fake.files.AddFile(L"C:\\kiosk.exe");
        AddProgram(L"Kiosk", L"Kiosk", L"C:\\kiosk.exe");
        window = fake.desktop.Add(L"Kiosk", true, false);
        engine.SetAlerts(L"http://127.0.0.1:8080/alerts", AlertFormat::Auto, 60, {});
    }
    void Seconds(int count) {
        for (int i = 0; i < count; ++i) {
            engine.WatchPrograms();
            engine.TendCommands();
            fake.events.now += 1000;
            fake.events.ProcessPendingEvents();
        }
    }
    JsonValue Posted(std::size_t index) {
        std::optional<JsonValue> value = StrictJson::Parse(fake.http.requests.at(index).body);
        EXPECT_TRUE(value.has_value()) << fake.http.requests.at(index).body;
        return value.value_or(JsonValue{});
    }
    WindowHandle window = 0;
};

TEST_F(EngineAlertTest, AProgramDownPastAlertAfterIsSentOnceAndItsReturnOnceAndAQuickRestartSendsNothing) {
    Seconds(3);
    fake.desktop.Remove(window);
    Seconds(2);
    window = fake.desktop.Add(L"Kiosk", true, false);  // back at once, as a restart brings it
    Seconds(120);
    EXPECT_TRUE(fake.http.requests.empty());

    fake.desktop.Remove(window);
    Seconds(59);
    EXPECT_TRUE(fake.http.requests.empty());
    Seconds(3);
    ASSERT_EQ(fake.http.requests.size(), 1u);
    JsonValue const gone = Posted(0);
    EXPECT_EQ(gone["name"].text, "Kiosk");
    EXPECT_EQ(gone["kind"].text, "gone");
    EXPECT_EQ(gone["computer"].text, "KIOSK-7");
    EXPECT_NE(gone["state"].text, "running");
    fake.http.Answer(200);
    Seconds(30);
    EXPECT_EQ(fake.http.requests.size(), 1u) << "still down: nothing more";

    window = fake.desktop.Add(L"Kiosk", true, false);
    Seconds(5);
    ASSERT_EQ(fake.http.requests.size(), 2u);
    EXPECT_EQ(Posted(1)["kind"].text, "recovered");
    EXPECT_EQ(Posted(1)["state"].text, "running");
    fake.http.Answer(200);
    Seconds(120);
    EXPECT_EQ(fake.http.requests.size(), 2u);
}

TEST_F(EngineAlertTest, NothingIsSentForAProgramNoLongerListedNorForATroubleWhileLaunchingIsPaused) {
    Seconds(3);
    fake.desktop.Remove(window);
    Seconds(30);
    programs.Delete(1);  // deleted in the editor while down
    Seconds(120);
    EXPECT_TRUE(fake.http.requests.empty()) << "its trouble forgotten with it";

    AddProgram(L"Kiosk", L"Kiosk", L"C:\\kiosk.exe");
    window = fake.desktop.Add(L"Kiosk", true, false);
    Seconds(3);
    fake.desktop.Remove(window);
    Seconds(62);
    ASSERT_EQ(fake.http.requests.size(), 1u);
    fake.http.Answer(200);
    programs.Delete(1);
    Seconds(5);
    AddProgram(L"Kiosk", L"Kiosk", L"C:\\kiosk.exe");  // listed anew, running
    window = fake.desktop.Add(L"Kiosk", true, false);
    Seconds(10);
    EXPECT_EQ(fake.http.requests.size(), 1u) << "no recovered owed by the program deleted";

    // A technician pauses launching and closes the program: not a trouble to alert.
    fake.desktop.Remove(window);
    Seconds(10);
    engine.PauseLaunching();
    Seconds(120);
    EXPECT_EQ(fake.http.requests.size(), 1u);
}

}  // namespace
}  // namespace vigilon
