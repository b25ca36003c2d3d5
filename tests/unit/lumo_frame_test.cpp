#include <gtest/gtest.h>

#include <vector>

#include "controls/lumo_frame_model.h"

namespace vigilon {
namespace {

class RecordingSurface final : public FrameSurface {
public:
    std::wstring labelText;
    bool labelVisible = true;
    int redraws = 0;
    std::vector<std::wstring> changes;
    std::wstring fontName;
    float fontSize = 0;

    void SetLabelText(std::wstring const& text) override { labelText = text; }
    void SetLabelBackColour(Colour) override {}
    void SetLabelFont(std::wstring const& name, float size) override { fontName = name; fontSize = size; }
    void SetLabelVisible(bool visible) override { labelVisible = visible; }
    void SetBackColour(Colour) override {}
    void SetEnabled(bool) override {}
    void Redraw() override { ++redraws; }
    void PropertyChanged(std::wstring_view name) override { changes.emplace_back(name); }
};

FrameParent const kParent{0x00C0C0C0, L"MS Sans Serif", 8.25f};

TEST(LumoFrame, CaptionIsPaddedWithOneSpaceAndReadTrimmed) {
    RecordingSurface surface;
    LumoFrameModel frame(surface);
    frame.SetCaption(L"  Parameters for A ");
    EXPECT_EQ(surface.labelText, L" Parameters for A ");
    EXPECT_EQ(frame.Caption(), L"Parameters for A");
    frame.SetCaption(L"");
    EXPECT_EQ(surface.labelText, L"  ");
    EXPECT_EQ(frame.Caption(), L"");
    EXPECT_EQ(surface.changes.back(), L"Caption");
}

TEST(LumoFrame, TopEdgeFollowsTheCaptionHeight) {
    RecordingSurface surface;
    LumoFrameModel frame(surface);
    frame.SetBorderStyle(1);
    std::vector<std::pair<int, int>> const cases{{13, 4}, {14, 5}, {15, 5}, {16, 5}, {18, 6}};
    for (auto const& [height, top] : cases) EXPECT_EQ(frame.Border(height, 152, 133)->top, top) << height;
    FrameBorder const border = *frame.Border(13, 152.0f, 133.0f);
    EXPECT_EQ(border.right, 152);
    EXPECT_EQ(border.bottom, 133);
}

TEST(LumoFrame, AnyNonZeroBorderStyleDrawsAndZeroHidesTheCaption) {
    RecordingSurface surface;
    LumoFrameModel frame(surface);
    EXPECT_FALSE(frame.Border(13, 10, 10).has_value());  // a new panel has style 0
    for (std::int32_t style : {2, -1, 1}) {
        frame.SetBorderStyle(style);
        EXPECT_TRUE(frame.Border(13, 10, 10).has_value()) << style;
        EXPECT_TRUE(surface.labelVisible);
    }
    int const redraws = surface.redraws;
    frame.SetBorderStyle(0);
    EXPECT_FALSE(surface.labelVisible);
    EXPECT_FALSE(frame.Border(13, 10, 10).has_value());
    EXPECT_EQ(surface.redraws, redraws + 1);
}

TEST(LumoFrame, AnEmptyBagGivesTheDefaultsAndTheParentsLook) {
    RecordingSurface surface;
    LumoFrameModel frame(surface);
    EXPECT_EQ(frame.ForeColour(), 0x808080u);
    frame.LoadFromBag(MemoryPropertyBag{}, kParent);
    EXPECT_EQ(frame.Caption(), L"Frame1");
    EXPECT_EQ(frame.ForeColour(), 0x808080u);
    EXPECT_EQ(frame.BackColour(), 0x00C0C0C0u);
    EXPECT_EQ(frame.BorderStyle(), 1);
    EXPECT_TRUE(frame.Enabled());
    EXPECT_EQ(frame.FontName(), L"MS Sans Serif");
    EXPECT_EQ(frame.FontSize(), 8.25f);
    EXPECT_EQ(surface.fontName, L"MS Sans Serif");
}

TEST(LumoFrame, KeysAreReadWithoutRegardToCase) {
    RecordingSurface surface;
    LumoFrameModel frame(surface);
    frame.LoadFromBag(MemoryPropertyBag{{L"caption", std::wstring(L"Stored")}, {L"BORDERSTYLE", std::int32_t{0}}},
                      kParent);
    EXPECT_EQ(frame.Caption(), L"Stored");
    EXPECT_EQ(frame.BorderStyle(), 0);
}

TEST(LumoFrame, SavingStoresOnlyWhatDiffersFromTheDefaults) {
    RecordingSurface surface;
    LumoFrameModel frame(surface);
    frame.LoadFromBag(MemoryPropertyBag{}, kParent);
    MemoryPropertyBag saved;
    frame.SaveToBag(saved, kParent);
    EXPECT_EQ(saved.Size(), 1u);
    EXPECT_EQ(BagAs<std::wstring>(saved.Read(L"Caption", true), L""), L"Frame1");

    frame.SetFontName(L"Tahoma");
    frame.SetFontSize(10);
    frame.SetBorderStyle(2);
    frame.SetForeColour(0x0000FF);
    MemoryPropertyBag changed;
    frame.SaveToBag(changed, kParent);
    EXPECT_EQ(BagAs<std::wstring>(changed.Read(L"FontName", L""), L""), L"Tahoma");
    EXPECT_EQ(BagAs<float>(changed.Read(L"FontSize", 0.0f), 0), 10.0f);
    EXPECT_EQ(BagAs<std::int32_t>(changed.Read(L"BorderStyle", 1), 1), 2);
    EXPECT_EQ(BagAs<std::int32_t>(changed.Read(L"ForeColor", 0), 0), 0x0000FF);
    EXPECT_FALSE(changed.Has(L"BackColor"));
    EXPECT_FALSE(changed.Has(L"Enabled"));
}

TEST(LumoFrame, FontNameComparesWithCase) {
    RecordingSurface surface;
    LumoFrameModel frame(surface);
    frame.LoadFromBag(MemoryPropertyBag{}, kParent);
    frame.SetFontName(L"ms sans serif");
    MemoryPropertyBag saved;
    frame.SaveToBag(saved, kParent);
    EXPECT_TRUE(saved.Has(L"FontName"));
}

}  // namespace
}  // namespace vigilon
