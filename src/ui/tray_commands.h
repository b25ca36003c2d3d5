#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace vigilon {

// What a tray notification asks for. The shell reports mouse actions on the icon as the main
// window's own mouse-move message with the mouse message in lParam.
enum class TrayAction { None, ShowHidePrograms, PopupMenu };

inline constexpr std::uint32_t kTrayCallbackMessage = 0x200;  // WM_MOUSEMOVE
inline constexpr std::uint32_t kWmLButtonDblClk = 0x203;
inline constexpr std::uint32_t kWmRButtonDown = 0x204;

// The action for a notification: none while the main window is visible (the same message is
// then real mouse movement over it); a left double-click shows or hides the programs, and the
// right button's press opens the pop-up menu.
TrayAction DecodeTrayNotification(bool mainWindowVisible, std::uint32_t mouseMessage);

// The pop-up menu's items by index.
enum class PopupCommand : std::uint8_t {
    ShowHidePrograms = 0,
    ClosePrograms = 1,
    LaunchPrograms = 2,
    History = 3,
    Status = 4,
    Separator = 5,
    Configure = 6,
    Exit = 7,
};

struct PopupItem {
    PopupCommand command;
    wchar_t const* caption;  // "-" draws a separator
};

// The pop-up menu in the order it shows.
std::span<PopupItem const> PopupMenuItems();

// Menu command identifiers: the pop-up's items are kPopupCommandBase plus their index.
inline constexpr std::uint16_t kPopupCommandBase = 100;
inline constexpr std::uint16_t kFileExitCommand = 200;
inline constexpr std::uint16_t kFileOptionsCommand = 201;
inline constexpr std::uint16_t kHelpAboutCommand = 209;
inline constexpr std::uint16_t kProgramSettingsCommand = 210;
inline constexpr std::uint16_t kProgramFromWindowCommand = 211;

std::optional<PopupCommand> PopupCommandFromId(std::uint32_t id);

}  // namespace vigilon
