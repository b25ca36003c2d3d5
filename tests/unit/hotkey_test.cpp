#include <gtest/gtest.h>

#include "app/hotkey.h"

namespace vigilon {
namespace {

TEST(MenuHotkey, ModifiersAndOneKeyInAnyCaseAndWrittenBackTheSameWay) {
    struct Case {
        wchar_t const* text;
        Hotkey hotkey;
        wchar_t const* written;
    };
    for (Case const c : {Case{L"Ctrl+Alt+Shift+V", {kHotkeyControl | kHotkeyAlt | kHotkeyShift, 'V'}, L"Ctrl+Alt+Shift+V"},
                         Case{L" shift + control +v ", {kHotkeyControl | kHotkeyShift, 'V'}, L"Ctrl+Shift+V"},
                         Case{L"Win+F12", {kHotkeyWin, 0x7B}, L"Win+F12"},
                         Case{L"Alt+pageup", {kHotkeyAlt, 0x21}, L"Alt+PageUp"},
                         Case{L"Ctrl+Alt+7", {kHotkeyControl | kHotkeyAlt, '7'}, L"Ctrl+Alt+7"}}) {
        HotkeyRead const read = ReadHotkey(c.text);
        ASSERT_TRUE(read.hotkey) << c.text;
        EXPECT_EQ(*read.hotkey, c.hotkey) << c.text;
        EXPECT_TRUE(read.problem.empty());
        EXPECT_EQ(HotkeyText(*read.hotkey), c.written);
    }
    EXPECT_FALSE(ReadHotkey(L"  ").hotkey);  // off, and nothing to say
    EXPECT_TRUE(ReadHotkey(L"  ").problem.empty());
}

TEST(MenuHotkey, AnythingElseIsSaidNotIgnored) {
    for (wchar_t const* text : {L"Ctrl+Alt", L"Ctrl+Alt+V+W", L"Ctrl+Q+", L"Ctrl+F25", L"Ctrl+Enter", L"Ctrl++V", L"Hyper+V"}) {
        HotkeyRead const read = ReadHotkey(text);
        EXPECT_FALSE(read.hotkey) << text;
        EXPECT_EQ(read.problem, L"not a key combination such as Ctrl+Alt+Shift+V") << text;
    }
    // Typing in every other program would lose the key.
    for (wchar_t const* text : {L"V", L"Shift+V", L"F5"}) {
        EXPECT_EQ(ReadHotkey(text).problem, L"needs Ctrl, Alt or Win, so that typing in other programs is left alone") << text;
    }
}

}  // namespace
}  // namespace vigilon
