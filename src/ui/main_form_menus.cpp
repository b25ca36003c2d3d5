#include "ui/main_form.h"

#include <utility>

#include "app/hotkey.h"
#include "ui/res/resource_ids.h"

namespace vigilon {

HMENU MainForm::CreateMenuBar() {
    HMENU const bar = CreateMenu();
    HMENU const file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kFileOptionsCommand, L"&Options...");
    AppendMenuW(file, MF_STRING, kFileExitCommand, L"E&xit");
    HMENU const program = CreatePopupMenu();
    AppendMenuW(program, MF_STRING, kProgramFromWindowCommand, L"&New from a Window...");
    AppendMenuW(program, MF_STRING, kProgramSettingsCommand, L"&Settings...");
    HMENU const help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kHelpAboutCommand, L"&About");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(program), L"&Program");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return bar;
}

HMENU MainForm::CreateTrayMenu() {
    HMENU const menu = CreatePopupMenu();
    for (PopupItem const& item : PopupMenuItems()) {
        if (item.command == PopupCommand::Separator) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING, kPopupCommandBase + static_cast<UINT>(item.command), item.caption);
        }
    }
    return menu;
}

void MainForm::ApplyMenuHotkey(std::wstring const& text) {
    if (text == menuHotkey_) return;
    menuHotkey_ = text;
    if (std::exchange(hotkeyRegistered_, false)) UnregisterHotKey(window_, kMenuHotkeyId);
    // A value that cannot be used is said by the check of the settings file, with its line.
    HotkeyRead const read = ReadHotkey(text);
    if (!read.hotkey) return;
    hotkeyRegistered_ =
        RegisterHotKey(window_, kMenuHotkeyId, read.hotkey->modifiers | MOD_NOREPEAT, read.hotkey->key) != FALSE;
    if (hotkeyRegistered_) return;
    std::wstring const problem = L"another program has taken it";
    engine_.Record(L"ignored", L"MenuHotkey=" + text + L": " + problem);
    ShowNotice(L"The menu's hot key " + text + L" is not used: " + problem + L".");
}

void MainForm::OnTrayNotification(LPARAM lParam) {
    // Exit has begun: the programs are being shown and let go of, and nothing may hide them again.
    if (mode_.Ending()) return;
    switch (DecodeTrayNotification(IsWindowVisible(window_) != FALSE, static_cast<std::uint32_t>(lParam))) {
    case TrayAction::ShowHidePrograms: engine_.ShowHidePrograms(false); break;
    case TrayAction::PopupMenu: ShowPopupMenu(); break;
    case TrayAction::None: break;
    }
}

void MainForm::ShowPopupMenu(bool atCentre) {
    POINT at{};
    GetCursorPos(&at);
    UINT align = TPM_LEFTALIGN;
    if (atCentre) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
            at = {(monitor.rcMonitor.left + monitor.rcMonitor.right) / 2, (monitor.rcMonitor.top + monitor.rcMonitor.bottom) / 2};
            align = TPM_CENTERALIGN | TPM_VCENTERALIGN;
        }
    }
    // Our window must be foreground before TrackPopupMenu, or the menu will not disappear when
    // the user clicks away from it.
    SetForegroundWindow(window_);
    UINT const chosen = static_cast<UINT>(
        TrackPopupMenu(popup_.Get(), align | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, window_, nullptr));
    // Makes the menu's owner see a new message, so a second click on the icon works at once.
    PostMessageW(window_, WM_NULL, 0, 0);
    if (chosen != 0) OnCommand(chosen);
}

void MainForm::OnCommand(UINT id) {
    if (auto const command = PopupCommandFromId(id)) {
        RunPopupCommand(*command);
    } else if (id == kFileExitCommand) {
        Unload();
    } else if (id == kHelpAboutCommand) {
        ShowAbout();
    } else if (id == kFileOptionsCommand) {
        ShowOptions();
    } else if (id == kProgramSettingsCommand) {
        ShowProgramSettings();
    } else if (id == kProgramFromWindowCommand) {
        editor_.Presenter().OnNewFromWindow();
    }
}

void MainForm::RunPopupCommand(PopupCommand command) {
    switch (command) {
    case PopupCommand::ShowHidePrograms: engine_.ShowHidePrograms(false); break;
    case PopupCommand::ClosePrograms: engine_.ClosePrograms(); break;
    case PopupCommand::LaunchPrograms: engine_.LaunchPrograms(); break;
    case PopupCommand::History: OpenHistory(); break;
    case PopupCommand::Status:
        status_.Show(instance_);
        KeepOwnWindowsAbove();
        break;
    case PopupCommand::Configure: Configure(); break;
    case PopupCommand::Exit: Unload(); break;
    case PopupCommand::Separator: break;
    }
}

void MainForm::OnInitMenuPopup(HMENU menu) {
    UINT const state = editor_.Presenter().SettingsAvailable() ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, kProgramSettingsCommand, MF_BYCOMMAND | state);  // no-op for menus without it
    // Locked by an administrator, the list takes no new program.
    UINT const adding = editor_.Presenter().ReadOnly() ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(menu, kProgramFromWindowCommand, MF_BYCOMMAND | adding);
}

void MainForm::ShowNotice(std::wstring const& text) { tray_.ShowBalloon(kTip, text); }

void MainForm::LaunchPausedChanged(bool paused) { tray_.SetTip(paused ? kPausedTip : kTip); }

}  // namespace vigilon
