#include <gtest/gtest.h>

#include "fakes/fake_desktop.h"
#include "support/caption_cache.h"
#include "support/window_search.h"

namespace vigilon {
namespace {

using testing::FakeDesktop;

WindowHandle FindApp(CaptionCache const& cache) { return cache.Find(L"app -", kMatchBeginsWith, false); }

TEST(CaptionCache, AWindowRetitledSoonAfterItOpensIsNoticedAtTheNextUpdate) {
    FakeDesktop desktop;
    WindowHandle const window = desktop.Add(L"Loading...");
    CaptionCache cache;
    cache.Update(desktop);
    EXPECT_EQ(FindApp(cache), 0u);
    desktop.Find(window)->caption = L"App - report.txt";
    cache.Update(desktop);
    EXPECT_EQ(FindApp(cache), window);
}

TEST(CaptionCache, SettledWindowsAreReadAgainOnlyAtTheRefresh) {
    FakeDesktop desktop;
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

TEST(CaptionCache, ClosedWindowsDropOutAndTheOrderFollowsTheDesktop) {
    FakeDesktop desktop;
    WindowHandle const first = desktop.Add(L"App - one");
    WindowHandle const second = desktop.Add(L"App - two");
    CaptionCache cache;
    cache.Update(desktop);
    EXPECT_EQ(FindApp(cache), first);
    desktop.Remove(first);
    cache.Update(desktop);
    EXPECT_EQ(FindApp(cache), second);
    EXPECT_EQ(cache.Size(), 1u);
}

TEST(CaptionCache, AQuietDesktopIsEnumeratedOnlyNowAndThen) {
    FakeDesktop desktop;
    desktop.tracksChanges = true;
    WindowHandle const window = desktop.Add(L"App - one");
    CaptionCache cache;
    for (int i = 0; i < 5; ++i) cache.Update(desktop);
    EXPECT_EQ(desktop.enumerations, 1);
    desktop.Remove(window);
    cache.Update(desktop);
    EXPECT_EQ(desktop.enumerations, 2);
    EXPECT_EQ(FindApp(cache), 0u);
    // However quiet, one update in kQuietUpdates enumerates, for changes the system did not tell.
    for (int i = 0; i < CaptionCache::kQuietUpdates; ++i) cache.Update(desktop);
    EXPECT_EQ(desktop.enumerations, 3);
}

}  // namespace
}  // namespace vigilon
