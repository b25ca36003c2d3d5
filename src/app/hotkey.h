#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vigilon {

// The modifier keys of a hot key, with the values RegisterHotKey takes.
inline constexpr std::uint32_t kHotkeyAlt = 0x0001;
inline constexpr std::uint32_t kHotkeyControl = 0x0002;
inline constexpr std::uint32_t kHotkeyShift = 0x0004;
inline constexpr std::uint32_t kHotkeyWin = 0x0008;

// A key pressed with modifiers, from any program: `key` is the virtual-key code.
struct Hotkey {
    std::uint32_t modifiers = 0;
    std::uint32_t key = 0;

    bool operator==(Hotkey const&) const = default;
};

// A hot key as the user wrote it, or why it cannot be used; no hot key and no problem for an
// empty text (off).
struct HotkeyRead {
    std::optional<Hotkey> hotkey;
    std::wstring problem;  // as the history gives it after "MenuHotkey=...: "
};

// Reads "Ctrl+Alt+Shift+V": modifiers (Ctrl or Control, Alt, Shift, Win) and one key (A to Z, 0 to
// 9, F1 to F24, Space, Home, End, Insert, Delete, PageUp, PageDown or Pause), joined by '+', case
// and blanks around each part ignored. Ctrl, Alt or Win must be among them: a key with Shift
// alone, or none, would be taken from the typing in every other program.
HotkeyRead ReadHotkey(std::wstring_view text);

// The hot key as the history and the documents write it: "Ctrl+Alt+Shift+V".
std::wstring HotkeyText(Hotkey const& hotkey);

}  // namespace vigilon
