#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>

#include "ui/layout_table.h"

namespace vigilon {
namespace {

// The editor is created in table order, and creation order is keyboard order: the framed panel
// must exist before its children, and each container's controls come by rising tab index.
TEST(EditorLayout, TheFrameComesBeforeItsChildrenAndTabIndicesRiseInEachContainer) {
    bool frameCreated = false;
    int lastTab[2] = {-2, -2};
    for (ControlPlacement const& placement : EditorLayout()) {
        if (placement.kind == ControlKind::Frame) frameCreated = true;
        if (placement.container == Container::Frame) {
            EXPECT_TRUE(frameCreated) << placement.id;
        }
        int& last = lastTab[placement.container == Container::Frame ? 1 : 0];
        EXPECT_GT(placement.tabIndex, last) << placement.id;
        last = placement.tabIndex;
    }
    EXPECT_TRUE(frameCreated);
}

// Each row of Options has an access key of its own (and Browse too), and nothing overlaps, with or without the note
// that names another copy started at logon.
TEST(OptionsLayout, EveryRowHasAUniqueAccessKeyAndNothingOverlaps) {
    for (bool const note : {false, true}) {
        std::vector<ControlPlacement> const layout = OptionsLayout(note);
        std::wstring keys;
        for (ControlPlacement const& a : layout) {
            std::wstring_view const text = a.text;
            if (a.kind == ControlKind::CheckBox || a.kind == ControlKind::KeyLabel ||
                (a.kind == ControlKind::Button && text.find(L'&') != std::wstring_view::npos)) {
                std::size_t const amp = text.find(L'&');
                ASSERT_NE(amp, std::wstring_view::npos) << a.id;
                wchar_t const key = static_cast<wchar_t>(std::towlower(text[amp + 1]));
                EXPECT_EQ(keys.find(key), std::wstring::npos) << a.id;
                keys += key;
            }
            EXPECT_LE(a.left + a.width, kOptionsWidth) << a.id;
            EXPECT_LE(a.top + a.height, OptionsHeight(note)) << a.id;
            for (ControlPlacement const& b : layout) {
                if (&a == &b) continue;
                bool const apart = a.left + a.width <= b.left || b.left + b.width <= a.left ||
                                   a.top + a.height <= b.top || b.top + b.height <= a.top;
                EXPECT_TRUE(apart) << a.id << " and " << b.id << (note ? " with the note" : "");
            }
        }
        EXPECT_EQ(std::count_if(layout.begin(), layout.end(), [](auto const& p) { return p.id == kIdLogonNote; }),
                  note ? 1 : 0);
    }
    // On a 1024x768 screen at 96 dpi (15 twips a pixel) the dialog, with its caption and frame and
    // above a taskbar (about 80 pixels together, taken as 100 to spare larger captions), fits.
    EXPECT_LE(OptionsHeight(true) / 15, 768 - 100);
}

}  // namespace
}  // namespace vigilon
