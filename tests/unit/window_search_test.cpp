#include <gtest/gtest.h>

#include "fakes/fake_desktop.h"
#include "support/window_search.h"

namespace vigilon {
namespace {

using testing::FakeDesktop;

constexpr wchar_t kDefault[] = L"Quorvault V3.2 - ";

WindowHandle Find(FakeDesktop& desktop, std::wstring_view text, std::int32_t kind = kMatchBeginsWith,
                  bool caseSensitive = false) {
    return FindWindowByPartialCaption(desktop, text, kind, caseSensitive);
}

TEST(WindowSearch, FindsCaptionsThatBeginWithTheTextIgnoringCase) {
    FakeDesktop desktop;
    desktop.Add(L"My Quorvault V3.2 - ");
    desktop.Add(L"Quorvault V3.2");
    WindowHandle const upper = desktop.Add(L"QUORVAULT V3.2 - X");
    desktop.Add(L"Quorvault V3.2 - Server");
    EXPECT_EQ(Find(desktop, kDefault), upper);
}

TEST(WindowSearch, FirstMatchInEnumerationOrderWinsAndStopsTheSearch) {
    FakeDesktop desktop;
    WindowHandle const first = desktop.Add(L"Notes - a");
    desktop.Add(L"Notes - b");
    desktop.Add(L"Other");
    EXPECT_EQ(Find(desktop, L"notes"), first);
    EXPECT_EQ(desktop.captionReads, 1);
}

TEST(WindowSearch, HiddenWindowsAreFoundChildrenAndEmptyCaptionsNever) {
    FakeDesktop desktop;
    desktop.AddChild(L"Target child");
    desktop.Add(L"");
    EXPECT_EQ(Find(desktop, L"Target"), 0u);
    EXPECT_EQ(Find(desktop, L""), 0u);
    WindowHandle const hidden = desktop.Add(L"Target hidden", false, true);
    EXPECT_EQ(Find(desktop, L"Target"), hidden);
    EXPECT_EQ(Find(desktop, L""), hidden);
}

TEST(WindowSearch, MatchKinds) {
    FakeDesktop desktop;
    WindowHandle const w = desktop.Add(L"Alpha Beta");
    EXPECT_EQ(Find(desktop, L"beta", kMatchContains), w);
    EXPECT_EQ(Find(desktop, L"beta", kMatchBeginsWith), 0u);
    EXPECT_EQ(Find(desktop, L"alpha beta", kMatchEquals), w);
    EXPECT_EQ(Find(desktop, L"alpha", kMatchEquals), 0u);
    EXPECT_EQ(Find(desktop, L"", kMatchContains), w);
    EXPECT_EQ(Find(desktop, L"", kMatchEquals), 0u);
    EXPECT_EQ(Find(desktop, L"beta", kMatchEndsWith), w);
    EXPECT_EQ(Find(desktop, L"Alpha", kMatchEndsWith), 0u);
    EXPECT_EQ(Find(desktop, L"Alpha", 4), 0u);
    EXPECT_EQ(Find(desktop, L"Alpha", -1), 0u);
}

TEST(WindowSearch, CaseSensitiveSearchComparesExactly) {
    FakeDesktop desktop;
    WindowHandle const w = desktop.Add(L"Quorvault");
    EXPECT_EQ(Find(desktop, L"quorvault", kMatchBeginsWith, true), 0u);
    EXPECT_EQ(Find(desktop, L"Quorvault", kMatchBeginsWith, true), w);
}

TEST(WindowSearch, CaptionsAreComparedOnTheirFirst255Characters) {
    FakeDesktop desktop;
    std::wstring const caption(300, L'a');
    WindowHandle const w = desktop.Add(caption);
    EXPECT_EQ(Find(desktop, std::wstring(255, L'a'), kMatchEquals), w);
    EXPECT_EQ(Find(desktop, std::wstring(256, L'a')), 0u);
}

TEST(WindowSearch, FoldsAccentedLettersWithoutRegardToCase) {
    FakeDesktop desktop;
    WindowHandle const w = desktop.Add(L"\u00C9diteur \u0416");
    EXPECT_EQ(Find(desktop, L"\u00E9diteur \u0436"), w);
}

}  // namespace
}  // namespace vigilon
