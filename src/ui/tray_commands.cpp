#include "ui/tray_commands.h"

namespace vigilon {
namespace {

constexpr PopupItem kPopupItems[] = {
    {PopupCommand::ShowHidePrograms, L"&Show/Hide Programs"},
    {PopupCommand::Status, L"&Status"},
    {PopupCommand::ClosePrograms, L"C&lose Programs"},
    {PopupCommand::LaunchPrograms, L"L&aunch Programs"},
    {PopupCommand::History, L"&History"},
    {PopupCommand::Separator, L"-"},
    {PopupCommand::Configure, L"&Configure"},
    {PopupCommand::Exit, L"E&xit"},
};

}  // namespace

TrayAction DecodeTrayNotification(bool mainWindowVisible, std::uint32_t mouseMessage) {
    if (mainWindowVisible) return TrayAction::None;
    switch (mouseMessage) {
    case kWmLButtonDblClk: return TrayAction::ShowHidePrograms;
    case kWmRButtonDown: return TrayAction::PopupMenu;
    default: return TrayAction::None;
    }
}

std::span<PopupItem const> PopupMenuItems() { return kPopupItems; }

std::optional<PopupCommand> PopupCommandFromId(std::uint32_t id) {
    for (PopupItem const& item : kPopupItems) {
        if (item.command != PopupCommand::Separator &&
            id == kPopupCommandBase + static_cast<std::uint32_t>(item.command)) {
            return item.command;
        }
    }
    return std::nullopt;
}

}  // namespace vigilon
