#include <gtest/gtest.h>

#include "engine/launch_text.h"
#include "engine/wait_seconds.h"
#include "fakes/fake_event_loop.h"

namespace vigilon {
namespace {

TEST(DirectoryOf, KeepsEverythingUpToTheLastBackslash) {
    EXPECT_EQ(DirectoryOf(L"C:\\Java\\bin\\javaw.exe"), L"C:\\Java\\bin\\");
    EXPECT_EQ(DirectoryOf(L"\\\\server\\share\\q.jar"), L"\\\\server\\share\\");
    EXPECT_EQ(DirectoryOf(L"C:javaw.exe"), L"C:");
    EXPECT_EQ(DirectoryOf(L"javaw.exe"), L"");
    EXPECT_EQ(DirectoryOf(L""), L"");
    EXPECT_EQ(DirectoryOf(L"C:\\"), L"C:\\");
}

TEST(LaunchParameters, JoinsThePartsThatAreThere) {
    EXPECT_EQ(LaunchParameters(L"-jar -Xmx384m", L"C:\\Q\\quorvault.jar", L""),
              L" -jar -Xmx384m \"C:\\Q\\quorvault.jar\"");
    EXPECT_EQ(LaunchParameters(L"", L"", L""), L"");
    EXPECT_EQ(LaunchParameters(L"", L"a b", L""), L"\"a b\"");
    EXPECT_EQ(LaunchParameters(L"", L"", L"  -z  "), L" -z");
    EXPECT_EQ(LaunchParameters(L" -a ", L"", L"-z"), L" -a  -z");
}

TEST(QuoteArgument, OrdinaryPathsAreOnlyEnclosed) {
    EXPECT_EQ(QuoteArgument(L"C:\\Program Files\\Q\\quorvault.jar"), L"\"C:\\Program Files\\Q\\quorvault.jar\"");
    EXPECT_EQ(QuoteArgument(L"\\\\srv\\share\\x"), L"\"\\\\srv\\share\\x\"");
    EXPECT_EQ(QuoteArgument(L""), L"\"\"");
}

TEST(QuoteArgument, BackslashesBeforeAQuoteAreDoubled) {
    EXPECT_EQ(QuoteArgument(L"C:\\"), L"\"C:\\\\\"");
    EXPECT_EQ(QuoteArgument(L"D:\\Data\\"), L"\"D:\\Data\\\\\"");
    EXPECT_EQ(QuoteArgument(L"say \"hi\""), L"\"say \\\"hi\\\"\"");
    EXPECT_EQ(QuoteArgument(L"a\\\"b"), L"\"a\\\\\\\"b\"");
}

TEST(WaitSeconds, EndsAtTheNextChangeOfTheClocksSeconds) {
    testing::FakeEventLoop events;
    events.now = 5'000'999;
    EXPECT_TRUE(WaitSeconds(events, 1));
    EXPECT_EQ(events.now, 5'001'000);
    EXPECT_TRUE(WaitSeconds(events, 2));
    EXPECT_EQ(events.now, 5'003'000);
    EXPECT_TRUE(WaitSeconds(events, 0));
}

TEST(WaitSeconds, AClockSetBackEndsTheWait) {
    testing::FakeEventLoop events;
    events.now = 9'000'000;
    events.After(200, [&] { events.now -= 3'600'000; });
    EXPECT_TRUE(WaitSeconds(events, 1));
    EXPECT_LT(events.now, 9'000'000);
}

TEST(WaitSeconds, StopsWhenTheProgramIsEnding) {
    testing::FakeEventLoop events;
    events.After(300, [&] { events.quitting = true; });
    EXPECT_FALSE(WaitSeconds(events, 5));
}

}  // namespace
}  // namespace vigilon
