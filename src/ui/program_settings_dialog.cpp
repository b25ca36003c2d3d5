#include "ui/program_settings_dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/win32/win32_owners.h"
#include "support/application_title.h"
#include "support/message.h"
#include "ui/dialog_controls.h"
#include "ui/layout_table.h"
#include "ui/program_settings_logic.h"
#include "ui/win32_layout.h"

namespace vigilon {
namespace {

DWORD const kSettingsStyle = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
int const kTimesLength = 200;     // characters the times box takes: some forty times of day
int const kSecondsLength = 5;     // digits a seconds box takes: up to a day
int const kWaitForLength = 254;   // characters the settings file keeps of a value

// Everything the dialog uses while it is open.
struct SettingsState {
    HINSTANCE instance;
    Platform& platform;
    SettingsFile const& settings;
    WatchedPrograms& programs;
    int number;
    bool readOnly;
    std::vector<SettingsChoice> show, monitor, startAfter, restartWhen;
    UniqueFont font;
};

// Places the controls and sizes their font at `dpi`: at the start, and whenever the dialog moves
// to a monitor of another DPI.
void LayOut(HWND dialog, SettingsState& state, UINT dpi) {
    UniqueFont font(CreatePointFont(L"MS Sans Serif", 8.25f, false, dpi));
    for (PagedPlacement const& paged : ProgramSettingsLayout()) {
        HWND const control = GetDlgItem(dialog, paged.placement.id);
        RECT const r = ScaledBounds(paged.placement, dpi);
        MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    state.font = std::move(font);
}

void ShowPage(HWND dialog, SettingsPage page) {
    for (PagedPlacement const& paged : ProgramSettingsLayout()) {
        if (paged.page == SettingsPage::All) continue;
        ShowWindow(GetDlgItem(dialog, paged.placement.id), paged.page == page ? SW_SHOW : SW_HIDE);
    }
    SendDlgItemMessageW(dialog, kIdSettingsTabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
}

void FillDropDown(HWND dialog, int id, std::vector<SettingsChoice> const& choices, std::wstring const& value) {
    for (SettingsChoice const& choice : choices) {
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.label.c_str()));
    }
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(ChoiceIndex(choices, value)), 0);
}

std::wstring ChosenValue(HWND dialog, int id, std::vector<SettingsChoice> const& choices) {
    auto const index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= choices.size()) return {};
    return choices[static_cast<std::size_t>(index)].value;
}

// Each restart box takes input only while its row is ticked.
void EnableBoxes(HWND dialog, SettingsState const& state) {
    if (state.readOnly) return;
    EnableWindow(GetDlgItem(dialog, kIdMemoryLimit), Checked(dialog, kIdMemoryRule));
    EnableWindow(GetDlgItem(dialog, kIdScheduleTimes), Checked(dialog, kIdScheduleRule));
}

void CreateControls(HWND dialog, SettingsState& state, UINT dpi) {
    for (PagedPlacement const& paged : ProgramSettingsLayout()) {
        CreateLayoutControl(dialog, paged.placement, dpi, state.instance);
    }
    HWND const tabs = GetDlgItem(dialog, kIdSettingsTabs);
    for (int page = 0; page < kSettingsPageCount; ++page) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(SettingsPageName(static_cast<SettingsPage>(page)));
        SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
    }
    // Below the pages' controls, which it would otherwise clip away.
    SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FillFields(HWND dialog, SettingsState& state) {
    RestartRules const& rules = state.programs[state.number].rules;
    ProgramSettingsForm const form = SettingsFormFromRules(rules);
    state.show = ShowChoices(form.show);
    state.monitor = MonitorChoices(state.platform.desktop.Displays(), form.monitor);
    state.startAfter = StartAfterChoices(state.programs, state.number, form.startAfter);
    state.restartWhen = RestartWhenChoices(form.restartWhen);
    FillDropDown(dialog, kIdShow, state.show, form.show);
    FillDropDown(dialog, kIdMonitor, state.monitor, form.monitor);
    Check(dialog, kIdOnTop, form.onTop);
    SetDlgItemTextW(dialog, kIdDelay, form.startDelay.c_str());
    SendDlgItemMessageW(dialog, kIdDelay, EM_LIMITTEXT, kSecondsLength, 0);
    FillDropDown(dialog, kIdStartAfter, state.startAfter, form.startAfter);
    SetDlgItemTextW(dialog, kIdWaitFor, form.waitFor.c_str());
    SendDlgItemMessageW(dialog, kIdWaitFor, EM_LIMITTEXT, kWaitForLength, 0);
    SetDlgItemTextW(dialog, kIdWaitSeconds, form.waitSeconds.c_str());
    SendDlgItemMessageW(dialog, kIdWaitSeconds, EM_LIMITTEXT, kSecondsLength, 0);
    Check(dialog, kIdMemoryRule, form.restart.memoryOn);
    SetDlgItemTextW(dialog, kIdMemoryLimit, form.restart.megabytes.c_str());
    SendDlgItemMessageW(dialog, kIdMemoryLimit, EM_LIMITTEXT, std::to_wstring(kMaxMemoryLimitMB).size(), 0);
    Check(dialog, kIdScheduleRule, form.restart.scheduleOn);
    SetDlgItemTextW(dialog, kIdScheduleTimes, form.restart.times.c_str());
    SendDlgItemMessageW(dialog, kIdScheduleTimes, EM_LIMITTEXT, kTimesLength, 0);
    Check(dialog, kIdCrashDialogRule, form.restart.noCrashDialog);
    FillDropDown(dialog, kIdRestartWhen, state.restartWhen, form.restartWhen);
}

// Read-only: every field greyed and OK disabled; the tabs still turn the pages, and Cancel closes.
void LockFields(HWND dialog) {
    for (PagedPlacement const& paged : ProgramSettingsLayout()) {
        std::uint16_t const id = paged.placement.id;
        if (id != kIdSettingsTabs && id != kIdSettingsCancel && id != kIdSettingsLockNote) {
            EnableWindow(GetDlgItem(dialog, id), FALSE);
        }
    }
    SendMessageW(dialog, DM_SETDEFID, kIdSettingsCancel, 0);
}

void Initialise(HWND dialog, SettingsState& state) {
    UINT const dpi = WindowDpi(dialog);
    SizeDialog(dialog, kSettingsWidth, kSettingsHeight, kSettingsStyle, dpi);
    SetWindowTextW(dialog, (L"Settings for " + state.programs[state.number].name).c_str());
    CreateControls(dialog, state, dpi);
    LayOut(dialog, state, dpi);
    FillFields(dialog, state);
    SetDlgItemTextW(dialog, kIdSettingsLockNote, state.readOnly ? kLockedSettingsNote : L"");
    ShowWindow(GetDlgItem(dialog, kIdSettingsLockNote), state.readOnly ? SW_SHOW : SW_HIDE);
    if (state.readOnly) LockFields(dialog);
    EnableBoxes(dialog, state);
    ShowPage(dialog, SettingsPage::Window);
    SetFocus(GetDlgItem(dialog, state.readOnly ? kIdSettingsTabs : kIdShow));
}

ProgramSettingsForm ReadForm(HWND dialog, SettingsState const& state) {
    ProgramSettingsForm form;
    form.show = ChosenValue(dialog, kIdShow, state.show);
    form.monitor = ChosenValue(dialog, kIdMonitor, state.monitor);
    form.onTop = Checked(dialog, kIdOnTop);
    form.startDelay = WindowText(GetDlgItem(dialog, kIdDelay));
    form.startAfter = ChosenValue(dialog, kIdStartAfter, state.startAfter);
    form.waitFor = WindowText(GetDlgItem(dialog, kIdWaitFor));
    form.waitSeconds = WindowText(GetDlgItem(dialog, kIdWaitSeconds));
    form.restart.memoryOn = Checked(dialog, kIdMemoryRule);
    form.restart.megabytes = WindowText(GetDlgItem(dialog, kIdMemoryLimit));
    form.restart.scheduleOn = Checked(dialog, kIdScheduleRule);
    form.restart.times = WindowText(GetDlgItem(dialog, kIdScheduleTimes));
    form.restart.noCrashDialog = Checked(dialog, kIdCrashDialogRule);
    form.restartWhen = ChosenValue(dialog, kIdRestartWhen, state.restartWhen);
    return form;
}

// The page and box of the row a refusal names.
void FocusRow(HWND dialog, SettingsRow row) {
    switch (row) {
    case SettingsRow::StartDelay: ShowPage(dialog, SettingsPage::Start); FocusBox(dialog, kIdDelay); break;
    case SettingsRow::WaitFor: ShowPage(dialog, SettingsPage::Start); FocusBox(dialog, kIdWaitFor); break;
    case SettingsRow::WaitSeconds: ShowPage(dialog, SettingsPage::Start); FocusBox(dialog, kIdWaitSeconds); break;
    case SettingsRow::MemoryLimit: ShowPage(dialog, SettingsPage::Restart); FocusBox(dialog, kIdMemoryLimit); break;
    case SettingsRow::RestartTimes:
        ShowPage(dialog, SettingsPage::Restart);
        FocusBox(dialog, kIdScheduleTimes);
        break;
    case SettingsRow::None: break;
    }
}

void Accept(HWND dialog, SettingsState& state) {
    if (state.readOnly) return;  // OK is disabled; Enter must not slip past it
    ProgramSettingsChoice const choice = RulesFromSettingsForm(ReadForm(dialog, state), state.programs[state.number].rules);
    if (!choice.refusal.empty()) {
        ShowMessage(state.platform.system, choice.refusal, kMbIconExclamation, kApplicationTitle);
        FocusRow(dialog, choice.row);
        return;
    }
    // Written while the dialog is open, so that a failure's message is modal to it.
    if (AcceptRestartRules(state.programs, state.number, choice.rules, state.settings, state.platform.system)) {
        EndDialog(dialog, IDOK);
    }
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* state = reinterpret_cast<SettingsState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            Initialise(dialog, *reinterpret_cast<SettingsState*>(lParam));
            return FALSE;  // the focus is set already
        case WM_DPICHANGED:
            MoveToSuggestedRect(dialog, lParam);
            LayOut(dialog, *state, HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY: {
            auto const* header = reinterpret_cast<NMHDR const*>(lParam);
            if (header->idFrom == kIdSettingsTabs && header->code == TCN_SELCHANGE) {
                auto const page = SendDlgItemMessageW(dialog, kIdSettingsTabs, TCM_GETCURSEL, 0, 0);
                if (page >= 0 && page < kSettingsPageCount) ShowPage(dialog, static_cast<SettingsPage>(page));
                return TRUE;
            }
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK: Accept(dialog, *state); return TRUE;
            case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
            case kIdMemoryRule:
            case kIdScheduleRule:
                if (HIWORD(wParam) == BN_CLICKED) EnableBoxes(dialog, *state);
                return TRUE;
            default: return FALSE;
            }
        default: return FALSE;
        }
    } catch (...) {
        return FALSE;  // no exception may cross into the system
    }
}

}  // namespace

void ShowProgramSettingsDialog(HWND owner, HINSTANCE instance, Platform& platform, SettingsFile const& settings,
                               WatchedPrograms& programs, int number, bool readOnly) {
    if (number < 1 || number > programs.Count()) return;
    SettingsState state{instance, platform, settings, programs, number, readOnly, {}, {}, {}, {}, {}};
    std::vector<WORD> const dialogTemplate = EmptyDialogTemplate(kSettingsStyle);
    DialogBoxIndirectParamW(instance, reinterpret_cast<DLGTEMPLATE const*>(dialogTemplate.data()), owner, SettingsProc,
                            reinterpret_cast<LPARAM>(&state));
}

}  // namespace vigilon
