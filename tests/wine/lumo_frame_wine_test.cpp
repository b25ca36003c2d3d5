#include <windows.h>

#include <gtest/gtest.h>

#include "controls/lumo_frame.h"
#include "controls/property_bag.h"
#include "platform/win32/win32_owners.h"
#include "wine_test_support.h"

namespace vigilon::testing {
namespace {

constexpr COLORREF kGrey = 0x808080;
constexpr COLORREF kBack = 0xFFFFFF;

// A 152 x 133 panel loaded from an empty bag, drawn into a memory bitmap.
class FramePixels : public ::testing::Test {
protected:
    FramePixels() : host(L"frame host", false) {
        HINSTANCE const instance = GetModuleHandleW(nullptr);
        EXPECT_TRUE(frame.Create(host.Handle(), 7, RECT{0, 0, 152, 133}, instance));
        frame.Model().LoadFromBag(MemoryPropertyBag{}, FrameParent{kBack, L"MS Sans Serif", 8.25f});
        HDC const screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap.Reset(CreateCompatibleBitmap(screen, 152, 133));
        ReleaseDC(nullptr, screen);
        SelectObject(dc, bitmap.Get());
        frame.DrawBorder(dc, 152, 133);
    }
    ~FramePixels() override { DeleteDC(dc); }

    COLORREF At(int x, int y) const { return GetPixel(dc, x, y) & 0xFFFFFF; }

    TestWindow host;
    LumoFrame frame;
    HDC dc = nullptr;
    UniqueBitmap bitmap;
};

TEST_F(FramePixels, OutlineLiesOnTheOuterColumnsTheCaptionRowAndTheLastRow) {
    ASSERT_EQ(frame.LabelHeight(), 13) << "the caption font is not 13 pixels high here";
    int const top = 4;
    EXPECT_EQ(At(0, 66), kGrey);
    EXPECT_EQ(At(151, 66), kGrey);
    EXPECT_EQ(At(76, top), kGrey);
    EXPECT_EQ(At(76, 132), kGrey);
    EXPECT_EQ(At(76, top - 1), kBack);
    EXPECT_EQ(At(1, 66), kBack);
    EXPECT_EQ(At(76, 66), kBack);
    // Rounded corners: the corner pixels stay background, the edges start a little way in.
    EXPECT_EQ(At(0, top), kBack);
    EXPECT_EQ(At(151, top), kBack);
    EXPECT_EQ(At(0, 132), kBack);
    EXPECT_EQ(At(151, 132), kBack);
    EXPECT_EQ(At(3, top), kGrey);
    EXPECT_EQ(At(0, top + 3), kGrey);
}

TEST_F(FramePixels, BorderStyleZeroLeavesAPlainArea) {
    frame.Model().SetBorderStyle(0);
    frame.DrawBorder(dc, 152, 133);
    EXPECT_EQ(At(0, 66), kBack);
    EXPECT_EQ(At(76, 132), kBack);
}

TEST_F(FramePixels, ACaptionLongerThanThePanelEndsInsideItsBorder) {
    frame.Model().SetCaption(L"Parameters for A very long program name that runs on and on past the frame");
    RECT label{};
    GetWindowRect(GetWindow(frame.Window(), GW_CHILD), &label);
    RECT panel{};
    GetWindowRect(frame.Window(), &panel);
    EXPECT_LE(label.right, panel.right - 8);  // as far in from the right as the caption starts on the left
    EXPECT_GT(label.right, panel.right - 40);  // and the caption uses the room there is
    MoveWindow(frame.Window(), 0, 0, 400, 133, TRUE);
    GetWindowRect(GetWindow(frame.Window(), GW_CHILD), &label);
    GetWindowRect(frame.Window(), &panel);
    EXPECT_LE(label.right, panel.right - 8);  // fitted again when the panel grows
    EXPECT_GT(label.right, panel.right - 40);
}

TEST(LumoFrameOnWindows, ChildrenTakeNoInputWhileThePanelIsDisabled) {
    TestWindow host(L"frame host", false);
    LumoFrame frame;
    ASSERT_TRUE(frame.Create(host.Handle(), 7, RECT{10, 10, 162, 143}, GetModuleHandleW(nullptr)));
    TestWindow child(L"inside", true, frame.Window());
    frame.Model().SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(frame.Window()));
    // Hit-testing that skips disabled windows passes over the panel, and so over its children.
    EXPECT_EQ(ChildWindowFromPointEx(host.Handle(), POINT{20, 20}, CWP_SKIPDISABLED), host.Handle());
    frame.Model().SetEnabled(true);
    EXPECT_EQ(ChildWindowFromPointEx(host.Handle(), POINT{20, 20}, CWP_SKIPDISABLED), frame.Window());
    MoveWindow(frame.Window(), 40, 40, 152, 133, TRUE);
    RECT r{};
    GetWindowRect(child.Handle(), &r);
    RECT f{};
    GetWindowRect(frame.Window(), &f);
    EXPECT_EQ(r.left - f.left, 10);  // the child moved with the panel
}

}  // namespace
}  // namespace vigilon::testing
