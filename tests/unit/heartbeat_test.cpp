#include <gtest/gtest.h>

#include "engine/outputs/heartbeat.h"
#include "fakes/engine_scene.h"

namespace vigilon {
namespace {

constexpr wchar_t kPushUrl[] = L"https://kuma.example.com/api/push/tok?status={status}&msg={msg}";
constexpr wchar_t kPingUrl[] = L"https://hc.example.com/ping/5f3a";

HeartbeatFacts Down(std::wstring reason) { return {HeartbeatFacts::Watching::Watching, false, std::move(reason)}; }

TEST(HeartbeatUrl, PlaceholdersBecomeTheStatusAndTheEncodedReasonAndAPlainUrlOnlyPingsWhileAllIsWell) {
    EXPECT_EQ(HeartbeatRequestUrl(kPushUrl, Down(L"Kiosk: Waiting until 10:42:05")),
              L"https://kuma.example.com/api/push/tok?status=down&msg=Kiosk%3A%20Waiting%20until%2010%3A42%3A05");
    // Case ignored in the placeholders; every one is replaced; the reason's UTF-8 bytes are encoded.
    EXPECT_EQ(HeartbeatRequestUrl(L"http://h/{STATUS}/{Msg}?again={status}",
                                  {HeartbeatFacts::Watching::Watching, true, L"K\u00e4se & \"Br\u00f6t\"/1+1"}),
              L"http://h/up/K%C3%A4se%20%26%20%22Br%C3%B6t%22%2F1%2B1?again=up");
    EXPECT_EQ(UrlEncoded(L"a-b.c_d~e"), L"a-b.c_d~e");

    EXPECT_EQ(HeartbeatRequestUrl(kPingUrl, {HeartbeatFacts::Watching::Watching, true, L"2 programs running"}), kPingUrl);
    EXPECT_EQ(HeartbeatRequestUrl(kPingUrl, Down(L"Kiosk: Starting")), std::nullopt);
    EXPECT_EQ(HeartbeatRequestUrl(L"", {}), std::nullopt);
    // The history names the site only: the path and a user's password may hold secrets.
    EXPECT_EQ(HeartbeatSite(L"https://user:pw@kuma.example.com:8443/api/push/tok?x=1"), L"https://kuma.example.com:8443");
    EXPECT_EQ(HeartbeatSite(kPingUrl), L"https://hc.example.com");
}

ProgramStatus Row(std::wstring name, StatusState state) {
    ProgramStatus row;
    row.name = std::move(name);
    row.state = state;
    return row;
}

TEST(HeartbeatFacts, SayDownWithTheReasonForTheEditorAPauseOrAProgramNotRunningAndIgnoreProgramsWithoutCaption) {
    std::vector<ProgramStatus> rows{Row(L"Player", StatusState::Running), Row(L"Notes", StatusState::NoCaption)};
    HeartbeatFacts const up = HeartbeatFactsFrom(rows, WatchingState::Watching);
    EXPECT_TRUE(up.allRunning);
    EXPECT_EQ(up.reason, L"1 program running");

    HeartbeatFacts const editor = HeartbeatFactsFrom(rows, WatchingState::Stopped);
    EXPECT_FALSE(editor.allRunning);
    EXPECT_EQ(editor.reason, L"stopped: the editor is open");
    HeartbeatFacts const paused = HeartbeatFactsFrom(rows, WatchingState::Paused);
    EXPECT_FALSE(paused.allRunning);
    EXPECT_EQ(paused.reason, L"launching paused");

    ProgramStatus kiosk = Row(L"Kiosk", StatusState::Waiting);
    kiosk.nextStart = L"10:42:05";
    rows.push_back(kiosk);
    rows.push_back(Row(L"Clock", StatusState::Starting));
    HeartbeatFacts const down = HeartbeatFactsFrom(rows, WatchingState::Watching);
    EXPECT_FALSE(down.allRunning);
    EXPECT_EQ(down.reason, L"Kiosk: Waiting until 10:42:05 (1 more not running)");
}

class HeartbeatTest : public ::testing::Test, protected testing::EngineScene {
protected:
    HeartbeatTest() {
        engine.SetEventLog(true);
        engine.SetNoticeMode(NoticeMode::Tray);
        fake.files.AddFile(L"C:\\player.exe");
        AddProgram(L"Player", L"Player", L"C:\\player.exe");
        window = fake.desktop.Add(L"Player", true, false);
    }
    // Seconds of watching, as the main window's timers run them.
    void Seconds(int count) {
        for (int i = 0; i < count; ++i) {
            if (host.watching) engine.WatchPrograms();
            engine.TendCommands();
            fake.events.now += 1000;
            fake.events.ProcessPendingEvents();
        }
    }
    std::vector<std::wstring> Urls() const {
        std::vector<std::wstring> urls;
        for (auto const& request : fake.http.requests) urls.push_back(request.url);
        return urls;
    }
    WindowHandle window = 0;
};

TEST_F(HeartbeatTest, APushUrlIsRequestedEveryPeriodWithTheStateAndAPlainOneStopsWhileAProgramIsGone) {
    engine.SetHeartbeat(kPushUrl, 10);
    Seconds(9);
    EXPECT_TRUE(fake.http.requests.empty()) << "the first heartbeat waits a period, for the programs to start";
    Seconds(2);
    ASSERT_EQ(Urls(), std::vector<std::wstring>{L"https://kuma.example.com/api/push/tok?status=up&msg=1%20program%20running"});
    EXPECT_EQ(fake.http.requests[0].timeoutMilliseconds, 10'000);
    fake.http.Answer(200);

    // The program goes away and is started again, its window not there yet: the next says so.
    fake.desktop.Remove(window);
    Seconds(10);
    ASSERT_EQ(fake.http.requests.size(), 2u);
    EXPECT_NE(fake.http.requests[1].url.find(L"status=down&msg=Player%3A%20"), std::wstring::npos)
        << fake.http.requests[1].url;
    fake.http.Answer(200);

    // A plain URL: not requested while the program is not running; requested again once it runs.
    engine.SetHeartbeat(kPingUrl, 10);
    Seconds(25);
    EXPECT_EQ(fake.http.requests.size(), 2u);
    window = fake.desktop.Add(L"Player", true, false);
    Seconds(11);
    ASSERT_EQ(fake.http.requests.size(), 3u);
    EXPECT_EQ(fake.http.requests[2].url, kPingUrl);
}

TEST_F(HeartbeatTest, WhileTheEditorIsOpenOrLaunchingPausedItSaysDownAndAPlainUrlIsNotRequested) {
    engine.SetHeartbeat(kPushUrl, 10);
    host.watching = false;  // the editor is open: no pass runs, the commands' timer still does
    Seconds(11);
    ASSERT_EQ(fake.http.requests.size(), 1u);
    EXPECT_EQ(fake.http.requests[0].url,
              L"https://kuma.example.com/api/push/tok?status=down&msg=stopped%3A%20the%20editor%20is%20open");
    fake.http.Answer(200);
    host.watching = true;
    engine.PauseLaunching();
    Seconds(10);
    ASSERT_EQ(fake.http.requests.size(), 2u);
    EXPECT_NE(fake.http.requests[1].url.find(L"status=down&msg=launching%20paused"), std::wstring::npos);
    fake.http.Answer(200);

    engine.SetHeartbeat(kPingUrl, 10);
    Seconds(30);
    host.watching = false;
    Seconds(30);
    EXPECT_EQ(fake.http.requests.size(), 2u);
}

TEST_F(HeartbeatTest, AFailureIsSaidOnceUntilOneSucceedsAndARequestUnderWayIsNotDoubled) {
    engine.SetHeartbeat(kPushUrl, 10);
    Seconds(11);
    Seconds(30);  // no answer yet: no second request on top of it
    ASSERT_EQ(fake.http.requests.size(), 1u);
    for (int i = 0; i < 3; ++i) {
        fake.http.Fail(L"the server could not be reached");
        Seconds(10);
    }
    fake.http.Answer(503);
    Seconds(10);
    std::vector<std::wstring> events = Events(L"");
    EXPECT_EQ(std::count(events.begin(), events.end(), L"heartbeat"), 1);
    ASSERT_EQ(fake.eventLog.entries.size(), 1u);
    EXPECT_EQ(fake.eventLog.entries[0].messageId, 0x80000000u + 2120);
    EXPECT_EQ(fake.eventLog.entries[0].details, L"https://kuma.example.com: the server could not be reached");
    EXPECT_EQ(host.notices.size(), 1u);

    fake.http.Answer(200);
    Seconds(10);
    fake.http.Fail(L"no answer within the time allowed");
    Seconds(1);
    events = Events(L"");
    EXPECT_EQ(std::count(events.begin(), events.end(), L"heartbeat"), 3) << "failed, answered again, failed";
    EXPECT_EQ(fake.eventLog.entries.size(), 2u);
}

TEST_F(HeartbeatTest, AnotherUrlStartsAfreshAndNoOutcomeOfARequestForAnOldOneCounts) {
    constexpr wchar_t kOtherUrl[] = L"https://other.example.net/push?status={status}";
    engine.SetHeartbeat(kPushUrl, 10);
    Seconds(11);
    fake.http.Fail(L"the server could not be reached");
    Seconds(10);
    ASSERT_EQ(host.notices.size(), 1u);
    ASSERT_EQ(fake.http.requests.size(), 2u);

    // Changed while its second request is under way: that one is given up, and its failure is
    // neither said again nor held against the new URL, whose own failure is said.
    engine.SetHeartbeat(kOtherUrl, 10);
    EXPECT_TRUE(fake.http.requests[1].cancelled);
    fake.http.Fail(L"no answer within the time allowed");
    Seconds(5);
    EXPECT_EQ(host.notices.size(), 1u);
    Seconds(6);
    ASSERT_EQ(fake.http.requests.size(), 3u);
    fake.http.Fail(L"the server could not be reached");
    Seconds(1);
    ASSERT_EQ(host.notices.size(), 2u);
    EXPECT_EQ(host.notices[1], L"The heartbeat to https://other.example.net: the server could not be reached.");

    // Turned off with a request under way: it is given up too.
    Seconds(9);
    ASSERT_EQ(fake.http.requests.size(), 4u);
    engine.SetHeartbeat(L"", 10);
    EXPECT_TRUE(fake.http.requests[3].cancelled);
}

}  // namespace
}  // namespace vigilon
