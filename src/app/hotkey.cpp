#include "app/hotkey.h"

#include <array>

#include "support/blanks.h"
#include "support/digits.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

struct Name {
    wchar_t const* text;
    std::uint32_t value;
};

constexpr std::array kModifiers = {Name{L"Ctrl", kHotkeyControl}, Name{L"Control", kHotkeyControl},
                                   Name{L"Alt", kHotkeyAlt}, Name{L"Shift", kHotkeyShift}, Name{L"Win", kHotkeyWin}};
// Keys by name, with their virtual-key codes.
constexpr std::array kKeys = {Name{L"Space", 0x20}, Name{L"PageUp", 0x21}, Name{L"PageDown", 0x22},
                              Name{L"End", 0x23}, Name{L"Home", 0x24}, Name{L"Insert", 0x2D},
                              Name{L"Delete", 0x2E}, Name{L"Pause", 0x13}};
constexpr std::uint32_t kF1 = 0x70;
constexpr int kFunctionKeys = 24;
constexpr wchar_t kExample[] = L"not a key combination such as Ctrl+Alt+Shift+V";

// The virtual-key code of a key's name, upper-cased; 0 for none.
std::uint32_t KeyCode(std::wstring const& name) {
    if (name.size() == 1 && ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'0' && name[0] <= L'9'))) {
        return name[0];  // letters and digits are their own codes
    }
    for (Name const& key : kKeys) {
        if (name == ToUpperText(key.text)) return key.value;
    }
    int const number = name.starts_with(L'F') ? SmallNumber(std::wstring_view(name).substr(1), 2) : -1;
    if (number >= 1 && number <= kFunctionKeys) return kF1 + static_cast<std::uint32_t>(number - 1);
    return 0;
}

}  // namespace

HotkeyRead ReadHotkey(std::wstring_view text) {
    if (TrimSpacesAndTabs(text).empty()) return {};
    Hotkey hotkey;
    std::size_t from = 0;
    for (;;) {
        std::size_t const plus = text.find(L'+', from);
        std::wstring const part = ToUpperText(TrimSpacesAndTabs(text.substr(from, plus - from)));
        std::uint32_t modifier = 0;
        for (Name const& name : kModifiers) {
            if (part == ToUpperText(name.text)) modifier = name.value;
        }
        if (modifier != 0) {
            hotkey.modifiers |= modifier;
        } else {
            std::uint32_t const key = KeyCode(part);
            if (key == 0 || hotkey.key != 0) return {std::nullopt, kExample};  // unknown, or a second key
            hotkey.key = key;
        }
        if (plus == std::wstring_view::npos) break;
        from = plus + 1;
    }
    if (hotkey.key == 0) return {std::nullopt, kExample};
    if ((hotkey.modifiers & (kHotkeyControl | kHotkeyAlt | kHotkeyWin)) == 0) {
        return {std::nullopt, L"needs Ctrl, Alt or Win, so that typing in other programs is left alone"};
    }
    return {hotkey, {}};
}

std::wstring HotkeyText(Hotkey const& hotkey) {
    std::wstring text;
    if (hotkey.modifiers & kHotkeyControl) text += L"Ctrl+";
    if (hotkey.modifiers & kHotkeyAlt) text += L"Alt+";
    if (hotkey.modifiers & kHotkeyShift) text += L"Shift+";
    if (hotkey.modifiers & kHotkeyWin) text += L"Win+";
    if ((hotkey.key >= L'A' && hotkey.key <= L'Z') || (hotkey.key >= L'0' && hotkey.key <= L'9')) {
        return text + static_cast<wchar_t>(hotkey.key);
    }
    if (hotkey.key >= kF1 && hotkey.key < kF1 + kFunctionKeys) return text + L"F" + std::to_wstring(hotkey.key - kF1 + 1);
    for (Name const& key : kKeys) {
        if (key.value == hotkey.key) return text + key.text;
    }
    return text + std::to_wstring(hotkey.key);
}

}  // namespace vigilon
