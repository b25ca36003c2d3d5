#include "ui/restart_rules_dialog.h"

#include <string>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/win32/win32_owners.h"
#include "support/application_title.h"
#include "support/message.h"
#include "ui/dialog_controls.h"
#include "ui/layout_table.h"
#include "ui/restart_rules_logic.h"
#include "ui/win32_layout.h"

namespace vigilon {
namespace {

DWORD const kRulesStyle = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
int const kTimesLength = 200;  // characters the times box takes: some forty times of day

// Everything the dialog uses while it is open.
struct RulesState {
    HINSTANCE instance;
    Platform& platform;
    SettingsFile const& settings;
    WatchedPrograms& programs;
    int number;
    UniqueFont font;
};

// Each box takes input only while its row is ticked.
void EnableBoxes(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, kIdMemoryLimit), Checked(dialog, kIdMemoryRule));
    EnableWindow(GetDlgItem(dialog, kIdScheduleTimes), Checked(dialog, kIdScheduleRule));
}

void Initialise(HWND dialog, RulesState& state) {
    UINT const dpi = WindowDpi(dialog);
    SizeDialog(dialog, kRulesWidth, kRulesHeight, kRulesStyle, dpi);
    WatchedProgram const& record = state.programs[state.number];
    SetWindowTextW(dialog, (L"Restart Rules for " + record.name).c_str());
    state.font.Reset(CreatePointFont(L"MS Sans Serif", 8.25f, false, dpi));
    for (ControlPlacement const& placement : RestartRulesLayout()) {
        HWND const control = CreateLayoutControl(dialog, placement, dpi, state.instance);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font.Get()), FALSE);
    }
    RestartRulesForm const form = FormFromRules(record.rules);
    Check(dialog, kIdMemoryRule, form.memoryOn);
    SetDlgItemTextW(dialog, kIdMemoryLimit, form.megabytes.c_str());
    SendDlgItemMessageW(dialog, kIdMemoryLimit, EM_LIMITTEXT, std::to_wstring(kMaxMemoryLimitMB).size(), 0);
    Check(dialog, kIdScheduleRule, form.scheduleOn);
    SetDlgItemTextW(dialog, kIdScheduleTimes, form.times.c_str());
    SendDlgItemMessageW(dialog, kIdScheduleTimes, EM_LIMITTEXT, kTimesLength, 0);
    Check(dialog, kIdCrashDialogRule, form.noCrashDialog);
    EnableBoxes(dialog);
    SetFocus(GetDlgItem(dialog, kIdMemoryRule));
}

void Accept(HWND dialog, RulesState& state) {
    RestartRulesForm form;
    form.memoryOn = Checked(dialog, kIdMemoryRule);
    form.megabytes = WindowText(GetDlgItem(dialog, kIdMemoryLimit));
    form.scheduleOn = Checked(dialog, kIdScheduleRule);
    form.times = WindowText(GetDlgItem(dialog, kIdScheduleTimes));
    form.noCrashDialog = Checked(dialog, kIdCrashDialogRule);
    RestartRulesChoice const choice = RulesFromForm(form, state.programs[state.number].rules);
    if (!choice.refusal.empty()) {
        ShowMessage(state.platform.system, choice.refusal, kMbIconExclamation, kApplicationTitle);
        bool const memory = form.memoryOn && !ParseMemoryLimit(form.megabytes).value;
        FocusBox(dialog, memory ? kIdMemoryLimit : kIdScheduleTimes);  // the row the refusal names
        return;
    }
    // Written while the dialog is open, so that a failure's message is modal to it.
    if (AcceptRestartRules(state.programs, state.number, choice.rules, state.settings, state.platform.system)) {
        EndDialog(dialog, IDOK);
    }
}

INT_PTR CALLBACK RulesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* state = reinterpret_cast<RulesState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            Initialise(dialog, *reinterpret_cast<RulesState*>(lParam));
            return FALSE;  // the focus is set already
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK: Accept(dialog, *state); return TRUE;
            case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
            case kIdMemoryRule:
            case kIdScheduleRule:
                if (HIWORD(wParam) == BN_CLICKED) EnableBoxes(dialog);
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

void ShowRestartRulesDialog(HWND owner, HINSTANCE instance, Platform& platform, SettingsFile const& settings,
                            WatchedPrograms& programs, int number) {
    if (number < 1 || number > programs.Count()) return;
    RulesState state{instance, platform, settings, programs, number, {}};
    std::vector<WORD> const dialogTemplate = EmptyDialogTemplate(kRulesStyle);
    DialogBoxIndirectParamW(instance, reinterpret_cast<DLGTEMPLATE const*>(dialogTemplate.data()), owner, RulesProc,
                            reinterpret_cast<LPARAM>(&state));
}

}  // namespace vigilon
