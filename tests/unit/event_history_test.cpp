#include <gtest/gtest.h>

#include "engine/outputs/event_history.h"
#include "engine/watch_engine.h"
#include "support/utf8.h"
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

TEST(EventHistory, TheOlderFileIsReplacedOnlyWhenTheHistoryReachesOneMebibyte) {
    constexpr std::size_t kMebibyte = 1'048'576;
    FakePlatform fake;
    std::wstring const older = std::wstring(kLog) + L".1";
    std::size_t const line = ToUtf8(EventHistory::FormatLine({}, L"start", L"", L"1.0")).size() + 2;
    fake.files.texts[kLog] = std::string(kMebibyte - 2 * line, 'x');
    fake.files.texts[older] = "older";
    EventHistory history(fake.files, fake.events, kLog);
    // Two lines fill the file to exactly 1 MiB; the third starts a new one.
    ASSERT_TRUE(history.Record(L"start", L"", L"1.0"));
    ASSERT_TRUE(history.Record(L"start", L"", L"1.0"));
    EXPECT_EQ(fake.files.texts[older], "older");
    ASSERT_TRUE(history.Record(L"start", L"", L"1.0"));
    EXPECT_EQ(fake.files.texts[older].size(), kMebibyte);
    // Later lines go on into the new file: the older one stays.
    for (int i = 0; i < 20; ++i) history.Record(L"start", L"", L"1.0");
    EXPECT_EQ(fake.files.texts[older].size(), kMebibyte);
    EXPECT_EQ(fake.files.texts[kLog].size(), 21 * line);

    // Another copy of Vigilon writes to the same file: it moves aside at its real size.
    fake.files.texts[kLog] += std::string(kMebibyte - 21 * line - line / 2, 'y');
    history.Record(L"start", L"", L"1.0");
    EXPECT_EQ(fake.files.texts[older].size(), kMebibyte - line / 2);

    // The user deletes a history that was nearly full: lines go into a new file, and the older
    // file stays until that one is full in its turn.
    EventHistory later(fake.files, fake.events, kLog);
    fake.files.texts[kLog] = std::string(kMebibyte - 2 * line, 'z');
    later.Record(L"start", L"", L"1.0");
    fake.files.texts.erase(kLog);
    for (int i = 0; i < 100; ++i) later.Record(L"start", L"", L"1.0");
    EXPECT_EQ(fake.files.texts[older].size(), kMebibyte - line / 2);
    EXPECT_EQ(fake.files.texts[kLog].size(), 100 * line);
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
