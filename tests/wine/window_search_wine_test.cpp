#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_handles.h"
#include "support/window_search.h"
#include "wine_test_support.h"

namespace vigilon::testing {
namespace {

// Captions unique to this process, so that no other window on the desktop can match.
std::wstring Unique(std::wstring const& text) {
    return text + L" " + std::to_wstring(GetCurrentProcessId());
}

WindowHandle Find(std::wstring const& text, std::int32_t kind = kMatchBeginsWith, bool caseSensitive = false) {
    Win32Desktop desktop;
    return FindWindowByPartialCaption(desktop, text, kind, caseSensitive);
}

TEST(WindowSearchOnWindows, FindsHiddenWindowsButNeverChildWindows) {
    TestWindow hidden(Unique(L"VigilonHidden"), false);
    TestWindow parent(Unique(L"VigilonParent"), true);
    TestWindow child(Unique(L"VigilonChildOnly"), true, parent.Handle());
    EXPECT_EQ(Find(Unique(L"vigilonhidden")), FromHwnd(hidden.Handle()));
    EXPECT_EQ(Find(Unique(L"VigilonChildOnly")), 0u);
    EXPECT_EQ(Find(L"VigilonChildOnly", kMatchContains), 0u);
}

TEST(WindowSearchOnWindows, NeverFindsAWindowWithAnEmptyCaption) {
    TestWindow empty(L"", true);
    WindowHandle const found = Find(L"");
    EXPECT_NE(found, FromHwnd(empty.Handle()));
    if (found != 0) {
        EXPECT_GT(GetWindowTextLengthW(ToHwnd(found)), 0);
    }
    EXPECT_EQ(Find(L"", kMatchEquals), 0u);
}

TEST(WindowSearchOnWindows, FollowsTheCaseRules) {
    TestWindow window(Unique(L"Quorvault V3.2 - Server"), true);
    WindowHandle const handle = FromHwnd(window.Handle());
    EXPECT_EQ(Find(Unique(L"QUORVAULT V3.2 - SERVER")), handle);
    EXPECT_EQ(Find(L"quorvault V3.2 - server", kMatchBeginsWith, true), 0u);
    EXPECT_EQ(Find(Unique(L"Quorvault V3.2 - Server"), kMatchEquals, true), handle);
    EXPECT_EQ(Find(Unique(L"V3.2 - SERVER"), kMatchContains), handle);
    EXPECT_EQ(Find(Unique(L"V3.2 - SERVER"), kMatchBeginsWith), 0u);
}

}  // namespace
}  // namespace vigilon::testing
