#include "ui/options_dialog.h"

#include <vector>

#include "app/logon_start.h"
#include "platform/win32/module_path.h"
#include "platform/win32/dpi.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_owners.h"
#include "ui/dialog_controls.h"
#include "ui/layout_table.h"
#include "support/application_title.h"
#include "support/blanks.h"
#include "support/message.h"
#include "ui/options_logic.h"
#include "ui/program_settings_logic.h"
#include "ui/win32_layout.h"

namespace vigilon {
namespace {

DWORD const kOptionsStyle = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// Everything the dialog uses while it is open.
struct OptionsState {
    HINSTANCE instance;
    Platform& platform;
    SettingsFile const& settings;
    std::wstring const& exePath;
    bool locked;                  // an administrator locks the settings
    Options chosen;               // as loaded, then as the user leaves the rows; with the policies' locks
    bool startedAtLogon = false;  // the box as it was when the dialog opened
    bool logonNote = false;       // the note naming another copy that starts at logon is shown
    UniqueFont font;
};

// Places the controls and sizes their font at `dpi`: at the start, and whenever the dialog moves
// to a monitor of another DPI.
void LayOut(HWND dialog, OptionsState& state, UINT dpi) {
    UniqueFont font(CreatePointFont(L"MS Sans Serif", 8.25f, false, dpi));
    for (ControlPlacement const& placement : OptionsLayout(state.logonNote)) {
        HWND const control = GetDlgItem(dialog, placement.id);
        RECT const r = ScaledBounds(placement, dpi);
        MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    state.font = std::move(font);
}

// A row an administrator's policy sets: greyed, and marked.
void Lock(HWND dialog, std::initializer_list<int> ids) {
    for (int const id : ids) {
        HWND const control = GetDlgItem(dialog, id);
        EnableWindow(control, FALSE);
        std::wstring const text = WindowText(control);
        if (id != kIdHangSeconds && id != kIdOnEvent && id != kIdOnEventBrowse) SetWindowTextW(control, (text + L" *").c_str());
    }
}

void Initialise(HWND dialog, OptionsState& state) {
    state.chosen = LoadOptions(state.settings, state.platform.registry);
    state.chosen.settingsLocked = state.locked;  // decided by the caller, as for the editor
    Options const& current = state.chosen;
    LogonStart const logon = ReadLogonStart(state.platform.registry, state.platform.files, state.exePath);
    std::wstring const note = LogonStartNote(logon);
    state.logonNote = !note.empty();
    UINT const dpi = WindowDpi(dialog);
    SizeDialog(dialog, kOptionsWidth, OptionsHeight(state.logonNote), kOptionsStyle, dpi);
    SetWindowTextW(dialog, L"Options");
    for (ControlPlacement const& placement : OptionsLayout(state.logonNote)) {
        CreateLayoutControl(dialog, placement, dpi, state.instance);
    }
    LayOut(dialog, state, dpi);
    state.startedAtLogon = logon.Enabled();
    Check(dialog, kIdTrayNotices, current.trayNotices);
    Check(dialog, kIdStartAtLogon, state.startedAtLogon);
    SetDlgItemTextW(dialog, kIdLogonNote, note.c_str());
    Check(dialog, kIdBackoff, current.backoff);
    Check(dialog, kIdRestartHung, current.hangSeconds > 0);
    int const seconds = current.hangSeconds > 0 ? current.hangSeconds : kDefaultHangSeconds;
    SetDlgItemTextW(dialog, kIdHangSeconds, std::to_wstring(seconds).c_str());
    SendDlgItemMessageW(dialog, kIdHangSeconds, EM_LIMITTEXT, std::to_wstring(kMaxHangSeconds).size(), 0);
    EnableWindow(GetDlgItem(dialog, kIdHangSeconds), current.hangSeconds > 0);
    Check(dialog, kIdEventLog, current.eventLog);
    SetDlgItemTextW(dialog, kIdOnEvent, current.onEvent.c_str());
    // The settings file keeps this many characters of a value.
    SendDlgItemMessageW(dialog, kIdOnEvent, EM_LIMITTEXT, kMaxIniValueLength, 0);
    Options::Locks const& locked = current.locked;
    if (locked.notices) Lock(dialog, {kIdTrayNotices});
    if (locked.backoff) Lock(dialog, {kIdBackoff});
    if (locked.hangSeconds) Lock(dialog, {kIdRestartHung, kIdHangSeconds});
    if (locked.eventLog) Lock(dialog, {kIdEventLog});
    if (locked.onEvent) Lock(dialog, {kIdOnEventLabel, kIdOnEvent, kIdOnEventBrowse});
    ShowWindow(GetDlgItem(dialog, kIdPolicyNote), locked.Any() || current.settingsLocked ? SW_SHOW : SW_HIDE);
    if (current.settingsLocked) {
        // Read-only: every row greyed and OK disabled; Cancel closes.
        for (ControlPlacement const& placement : OptionsLayout(state.logonNote)) {
            if (placement.id != kIdOptionsCancel && placement.id != kIdPolicyNote) {
                EnableWindow(GetDlgItem(dialog, placement.id), FALSE);
            }
        }
        SetDlgItemTextW(dialog, kIdPolicyNote, kLockedSettingsNote);
        SendMessageW(dialog, DM_SETDEFID, kIdOptionsCancel, 0);
        SetFocus(GetDlgItem(dialog, kIdOptionsCancel));
        return;
    }
    SetFocus(GetDlgItem(dialog, locked.notices ? kIdStartAtLogon : kIdTrayNotices));
}

// A program or script to run on trouble, chosen in the shell's dialog, put in the box as a command.
void BrowseForCommand(HWND dialog, OptionsState& state) {
    std::wstring const path = state.platform.shell.BrowseForFolderDialog(
        FromHwnd(dialog), L"Choose the program or script to run on trouble", L"", true);
    if (path.empty()) return;
    SetDlgItemTextW(dialog, kIdOnEvent, CommandForChosenFile(path, SystemFolderPath()).c_str());
}

void Accept(HWND dialog, OptionsState& state) {
    if (state.chosen.settingsLocked) return;  // OK is disabled; Enter must not slip past it
    Options::Locks const& locked = state.chosen.locked;
    wchar_t typed[16] = L"";
    GetDlgItemTextW(dialog, kIdHangSeconds, typed, static_cast<int>(std::size(typed)));
    HangSecondsChoice const hang = locked.hangSeconds ? HangSecondsChoice{state.chosen.hangSeconds, {}}
                                                      : ChooseHangSeconds(Checked(dialog, kIdRestartHung), typed);
    if (!hang.refusal.empty()) {
        // Refused with the dialog kept open, the box ready for another number.
        ShowMessage(state.platform.system, hang.refusal, kMbIconExclamation, kApplicationTitle);
        FocusBox(dialog, kIdHangSeconds);
        return;
    }
    // A row a policy sets keeps the policy's value.
    bool const startAtLogon = Checked(dialog, kIdStartAtLogon);
    if (!locked.notices) state.chosen.trayNotices = Checked(dialog, kIdTrayNotices);
    if (!locked.backoff) state.chosen.backoff = Checked(dialog, kIdBackoff);
    state.chosen.hangSeconds = hang.seconds;
    if (!locked.eventLog) state.chosen.eventLog = Checked(dialog, kIdEventLog);
    if (!locked.onEvent) {
        std::vector<wchar_t> command(kMaxIniValueLength + 1, L'\0');
        GetDlgItemTextW(dialog, kIdOnEvent, command.data(), static_cast<int>(command.size()));
        state.chosen.onEvent = TrimSpacesAndTabs(command.data());
    }
    // Written while the dialog is open, so that a failure's message is modal to it.
    AcceptOptions(state.chosen, startAtLogon != state.startedAtLogon ? std::optional<bool>(startAtLogon) : std::nullopt,
                  state.settings, state.platform.registry, state.platform.system, state.exePath);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* state = reinterpret_cast<OptionsState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            Initialise(dialog, *reinterpret_cast<OptionsState*>(lParam));
            return FALSE;  // the focus is set already
        case WM_DPICHANGED:
            MoveToSuggestedRect(dialog, lParam);
            LayOut(dialog, *state, HIWORD(wParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                Accept(dialog, *state);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            if (LOWORD(wParam) == kIdOnEventBrowse && HIWORD(wParam) == BN_CLICKED) {
                BrowseForCommand(dialog, *state);
                return TRUE;
            }
            if (LOWORD(wParam) == kIdRestartHung && HIWORD(wParam) == BN_CLICKED) {
                // The seconds count only while the row is ticked.
                EnableWindow(GetDlgItem(dialog, kIdHangSeconds), Checked(dialog, kIdRestartHung));
                return TRUE;
            }
            return FALSE;
        default: return FALSE;
        }
    } catch (...) {
        return FALSE;  // no exception may cross into the system
    }
}

}  // namespace

std::optional<Options> ShowOptionsDialog(HWND owner, HINSTANCE instance, Platform& platform,
                                         SettingsFile const& settings, std::wstring const& exePath, bool locked) {
    OptionsState state{instance, platform, settings, exePath, locked, {}, false, false, {}};
    std::vector<WORD> const dialogTemplate = EmptyDialogTemplate(kOptionsStyle);
    INT_PTR const result = DialogBoxIndirectParamW(instance, reinterpret_cast<DLGTEMPLATE const*>(dialogTemplate.data()),
                                                   owner, OptionsProc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    return state.chosen;
}

}  // namespace vigilon
