#include <gtest/gtest.h>

#include "fakes/fake_desktop.h"
#include "support/caption_cache.h"
#include "support/window_search.h"

namespace vigilon {
namespace {

using testing::FakeDesktop;
using Reports = FakeDesktop::Reports;

WindowHandle FindApp(CaptionCache const& cache) { return cache.Find(L"app -", kMatchBeginsWith, false); }

// Every test runs against what Wine reports of window changes and against what Windows reports.
class CaptionCacheTest : public ::testing::TestWithParam<Reports> {
protected:
    CaptionCacheTest() { desktop.reports = GetParam(); }
    FakeDesktop desktop;
};

TEST_P(CaptionCacheTest, AWindowRetitledSoonAfterItOpensIsNoticedAtTheNextUpdateItReads) {
    WindowHandle const window = desktop.Add(L"Loading...");
    CaptionCache cache;
    cache.Update(desktop);
    EXPECT_EQ(FindApp(cache), 0u);
    desktop.Retitle(window, L"App - report.txt");
    // Windows reports the retitle, so the next update reads it; under Wine, where nothing is
    // reported, the update that enumerates a quiet desktop anyway does.
    int updates = 0;
    while (FindApp(cache) == 0u && updates < CaptionCache::kQuietUpdates) {
        cache.Update(desktop);
        ++updates;
    }
    EXPECT_EQ(FindApp(cache), window);
    EXPECT_EQ(updates, GetParam() == Reports::Windows ? 1 : CaptionCache::kQuietUpdates);
}

TEST_P(CaptionCacheTest, SettledWindowsAreReadAgainOnlyAtTheRefresh) {
    desktop.reports = Reports::Blind;  // every update enumerates, so windows settle in kYoungUpdates
    for (int i = 0; i < 10; ++i) desktop.Add(L"Other " + std::to_wstring(i));
    WindowHandle const window = desktop.Add(L"Viewer");
    CaptionCache cache(30);
    for (int i = 0; i < CaptionCache::kYoungUpdates; ++i) cache.Update(desktop);
    int const reads = desktop.captionReads;
    desktop.Find(window)->caption = L"App - late title";
    cache.Update(desktop);
    EXPECT_EQ(desktop.captionReads, reads);  // enumerated, but no caption read
    EXPECT_EQ(FindApp(cache), 0u);
    cache.Refresh(desktop);
    EXPECT_EQ(desktop.captionReads, reads + 11);
    EXPECT_EQ(FindApp(cache), window);
    // The periodic refresh: every 30th update reads all captions.
    desktop.Find(window)->caption = L"Viewer";
    int updates = 0;
    while (FindApp(cache) != 0u && updates < 40) {
        cache.Update(desktop);
        ++updates;
    }
    EXPECT_EQ(updates, 30);
}

TEST_P(CaptionCacheTest, ClosedWindowsDropOutAndTheOrderFollowsTheDesktop) {
    WindowHandle const first = desktop.Add(L"App - one");
    WindowHandle const second = desktop.Add(L"App - two");
    CaptionCache cache;
    cache.Update(desktop);
    EXPECT_EQ(FindApp(cache), first);
    desktop.Remove(first);
    cache.Refresh(desktop);
    EXPECT_EQ(FindApp(cache), second);
    EXPECT_EQ(cache.Size(), 1u);
}

TEST_P(CaptionCacheTest, AQuietDesktopIsEnumeratedOnlyNowAndThen) {
    WindowHandle const window = desktop.Add(L"App - one");
    CaptionCache cache;
    for (int i = 0; i < 5; ++i) cache.Update(desktop);
    EXPECT_EQ(desktop.enumerations, 1);
    desktop.Add(L"Other");  // a new window is reported everywhere
    cache.Update(desktop);
    EXPECT_EQ(desktop.enumerations, 2);
    // A close is reported by Windows only; however quiet, one update in kQuietUpdates
    // enumerates, for changes the system did not tell.
    desktop.Remove(window);
    cache.Update(desktop);
    EXPECT_EQ(FindApp(cache) == 0u, GetParam() == Reports::Windows);
    for (int i = 1; i < CaptionCache::kQuietUpdates; ++i) cache.Update(desktop);
    EXPECT_EQ(FindApp(cache), 0u);
    EXPECT_EQ(desktop.enumerations, 3);
}

INSTANTIATE_TEST_SUITE_P(Systems, CaptionCacheTest, ::testing::Values(Reports::Wine, Reports::Windows),
                         [](auto const& info) { return info.param == Reports::Wine ? "Wine" : "Windows"; });

}  // namespace
}  // namespace vigilon
