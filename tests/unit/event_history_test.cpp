#include <gtest/gtest.h>

#include "engine/event_history.h"
#include "engine/watch_engine.h"
#include "fakes/fake_platform.h"

namespace vigilon {
namespace {

using testing::FakePlatform;

constexpr wchar_t kLog[] = L"C:\\V\\vigilon.log";

TEST(EventHistory, OneLineOfFourFieldsPerEventInUtf8) {
    FakePlatform fake;
    EventHistory history(fake.files, fake.events, kLog);
    fake.events.now = 1'000'000'042;
    ASSERT_TRUE(history.Record(L"message", L"Caf\u00E9", L"Error launching:\r\n\"C:\\a.exe\"\t-x"));
    EXPECT_EQ(fake.files.texts[kLog],
              "2026-01-02 03:04:05.042\tmessage\tCaf\xC3\xA9\tError launching:  \"C:\\a.exe\" -x\r\n");
}

TEST(EventHistory, AtOneMebibyteTheFileMovesAsideAndANewOneStarts) {
    FakePlatform fake;
    fake.files.texts[kLog] = std::string(EventHistory::kMaxBytes - 10, 'x');
    fake.files.texts[std::wstring(kLog) + L".1"] = "older";
    EventHistory history(fake.files, fake.events, kLog);
    ASSERT_TRUE(history.Record(L"start", L"", L"1.0"));
    EXPECT_EQ(fake.files.texts[std::wstring(kLog) + L".1"].size(), static_cast<std::size_t>(EventHistory::kMaxBytes - 10));
    EXPECT_EQ(fake.files.texts[kLog].substr(24, 5), "start");
}

TEST(EventHistory, AHistoryThatCannotBeWrittenIsReportedOnceAndWatchingGoesOn) {
    FakePlatform fake;
    testing::FakeWatchHost host;
    WatchedPrograms programs;
    fake.files.unwritable.push_back(L"C:\\V\\vigilon.log");
    WatchEngine engine(fake.view, host, programs, L"C:\\V\\");
    WindowHandle const window = fake.desktop.Add(L"A", true, true);
    programs.Reset(0, 5);
    programs[programs.Add(L"A")].caption = L"A";
    engine.Record(L"start");
    engine.WatchPrograms();
    EXPECT_EQ(host.notices, std::vector<std::wstring>{L"The event history could not be written to C:\\V\\vigilon.log."});
    EXPECT_FALSE(fake.desktop.IsVisible(window));
    EXPECT_TRUE(fake.system.messages.empty());
}

}  // namespace
}  // namespace vigilon
