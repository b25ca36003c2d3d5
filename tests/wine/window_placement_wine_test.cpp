#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_handles.h"
#include "window_helper.h"

namespace vigilon::testing {
namespace {

constexpr wchar_t kCaption[] = L"Vigilon placement probe";

PlacementSteps Frame(std::uint32_t style, WindowRect rect) {
    PlacementSteps steps;
    steps.style = style;
    steps.rect = rect;
    return steps;
}

// Another process's window made full screen and given its frame back, over and over: each frame
// given back comes after the one taken before it, and every outcome comes back, in order.
TEST(WindowPlacementOnWindows, OneWindowsRequestsAreCarriedOutInOrderAndEachOutcomeComesBack) {
    WindowHelper helper(kCaption);
    ASSERT_TRUE(helper.Started());
    HWND const window = FindWindowW(L"Static", kCaption);
    ASSERT_NE(window, nullptr);
    auto const own = static_cast<std::uint32_t>(GetWindowLongPtrW(window, GWL_STYLE));
    Win32Desktop desktop;
    std::vector<std::uint64_t> asked;
    for (int i = 0; i < 20; ++i) {
        asked.push_back(desktop.Place(FromHwnd(window), Frame(own & ~kWsOverlappedWindow, {0, 0, 640, 480})));
        asked.push_back(desktop.Place(FromHwnd(window), Frame(own, {10, 20, 300, 200})));
    }
    ASSERT_TRUE(desktop.WaitForPlacements(20'000));
    std::vector<std::uint64_t> ended;
    for (PlacementOutcome const& outcome : desktop.PlacementsDone()) {
        EXPECT_TRUE(outcome.done) << outcome.request << ": " << std::string(outcome.reason.begin(), outcome.reason.end());
        ended.push_back(outcome.request);
    }
    EXPECT_EQ(ended, asked);
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.bottom, 220);

    // A window gone: the outcome says so, rather than that it was placed.
    ASSERT_TRUE(helper.Close());
    PlacementSteps onTop;
    onTop.topmost = true;
    std::uint64_t const late = desktop.Place(FromHwnd(window), onTop);
    ASSERT_TRUE(desktop.WaitForPlacements(20'000));
    std::vector<PlacementOutcome> const outcomes = desktop.PlacementsDone();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].request, late);
    EXPECT_FALSE(outcomes[0].done);
    EXPECT_EQ(outcomes[0].reason, L"the window is gone");
}

}  // namespace
}  // namespace vigilon::testing
