#include "ui/program_settings_dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/opening_hours.h"
#include "platform/win32/system_function.h"
#include "support/application_title.h"
#include "support/message.h"
#include "ui/base_dialog.h"
#include "ui/dialog_controls.h"
#include "ui/program_settings_logic.h"

namespace vigilon {
namespace {

int const kTimesLength = 200;     // characters the times box takes: some forty times of day
int const kSecondsLength = 5;     // digits a seconds box takes: up to a day
int const kWaitForLength = 254;   // characters the settings file keeps of a value
int const kAgeLength = 6;         // digits the file's age takes: up to a week
int const kClassLength = 256;     // characters of the longest class name

// The Health page's seconds and count boxes, each with its default shown while it is empty.
struct HealthNumberBox {
    int id;
    std::wstring HealthCheckForm::*field;
    int fallback;
};
constexpr HealthNumberBox kHealthNumbers[] = {
    {kIdCheckSeconds, &HealthCheckForm::seconds, kDefaultCheckSeconds},
    {kIdCheckTimeout, &HealthCheckForm::timeout, kDefaultCheckTimeout},
    {kIdCheckGrace, &HealthCheckForm::grace, kDefaultCheckGrace},
    {kIdCheckFailures, &HealthCheckForm::failures, kDefaultCheckFailures},
};

// The dialog, with everything it uses while it is open.
class SettingsDialog final : public BaseDialog<SettingsDialog> {
public:
    SettingsDialog(Platform& platform, SettingsFile const& settings, WatchedPrograms& programs, int number, bool readOnly)
        : platform_(platform), settings_(settings), programs_(programs), number_(number), readOnly_(readOnly) {}

    INT_PTR OnInitDialog();
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void LayOut(UINT dpi) { PlaceControls(ProgramSettingsLayout(), dpi); }

private:
    void ShowPage(SettingsPage page);
    void EnableBoxes();
    void CreatePages();
    void FillFields();
    void FillHealth(HealthCheckForm const& health);
    ProgramSettingsForm ReadForm() const;
    void FocusRow(SettingsRow row, HealthRow healthRow);
    void Accept();

    Platform& platform_;
    SettingsFile const& settings_;
    WatchedPrograms& programs_;
    int number_;
    bool readOnly_;
    std::vector<SettingsChoice> show_, monitor_, startAfter_, restartWhen_, checkAction_, captionMatch_;
    HBRUSH pageBrush_ = nullptr;  // a system brush: not deleted
};

// Whether the tab control draws its pages with the visual style (white) or in the face colour.
// The theme library is in the process already when the common controls draw themed: it is only
// asked, never loaded.
bool Themed() {
    auto const isAppThemed = SystemFunction<BOOL(WINAPI*)()>(GetModuleHandleW(L"uxtheme.dll"), "IsAppThemed");
    return isAppThemed != nullptr && isAppThemed() != FALSE;
}

// A label or check box on a page, which must stand on the page's colour rather than the dialog's.
bool StandsOnPage(int id) {
    for (PagedPlacement const& paged : ProgramSettingsLayout()) {
        ControlKind const kind = paged.placement.kind;
        if (paged.placement.id == id) {
            return paged.page != SettingsPage::All &&
                   (kind == ControlKind::Label || kind == ControlKind::KeyLabel || kind == ControlKind::CheckBox);
        }
    }
    return false;
}

void SettingsDialog::ShowPage(SettingsPage page) {
    for (PagedPlacement const& paged : ProgramSettingsLayout()) {
        if (paged.page == SettingsPage::All) continue;
        ShowWindow(GetDlgItem(dialog_, paged.placement.id), paged.page == page ? SW_SHOW : SW_HIDE);
    }
    SendDlgItemMessageW(dialog_, kIdSettingsTabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
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

// Each restart box takes input only while its row is ticked; the page's text and the file's age
// only for the check that uses them.
void SettingsDialog::EnableBoxes() {
    if (readOnly_) return;
    EnableWindow(GetDlgItem(dialog_, kIdMemoryLimit), Checked(dialog_, kIdMemoryRule));
    EnableWindow(GetDlgItem(dialog_, kIdScheduleTimes), Checked(dialog_, kIdScheduleRule));
    // Hiding and placement are for a window: nothing of them applies to a program without one.
    bool const window = !Checked(dialog_, kIdNoWindow);
    for (int const id : {kIdShowLabel, kIdShow, kIdMonitorLabel, kIdMonitor, kIdOnTop, kIdCaptionMatchLabel,
                         kIdCaptionMatch, kIdWindowClassLabel, kIdWindowClass, kIdProcessLabel, kIdProcess}) {
        EnableWindow(GetDlgItem(dialog_, id), window);
    }
    HealthRowsEnabled const rows = HealthRowsFor(WindowText(GetDlgItem(dialog_, kIdCheck)));
    for (int const id : {kIdCheckTextLabel, kIdCheckText}) EnableWindow(GetDlgItem(dialog_, id), rows.text);
    for (int const id : {kIdCheckAgeLabel, kIdCheckAge, kIdCheckAgeUnit}) EnableWindow(GetDlgItem(dialog_, id), rows.age);
    for (int const id : {kIdCheckTimeoutLabel, kIdCheckTimeout, kIdCheckTimeoutUnit}) {
        EnableWindow(GetDlgItem(dialog_, id), rows.timeout);
    }
}

void SettingsDialog::CreatePages() {
    CreateControls(ProgramSettingsLayout(), kSettingsWidth, kSettingsHeight);
    HWND const tabs = GetDlgItem(dialog_, kIdSettingsTabs);
    for (int page = 0; page < kSettingsPageCount; ++page) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(SettingsPageName(static_cast<SettingsPage>(page)));
        SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
    }
    // Below the pages' controls, which it would otherwise clip away.
    SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SettingsDialog::FillFields() {
    RestartRules const& rules = programs_[number_].rules;
    ProgramSettingsForm const form = SettingsFormFromRules(rules);
    show_ = ShowChoices(form.show);
    monitor_ = MonitorChoices(platform_.desktop.Displays(), form.monitor);
    startAfter_ = StartAfterChoices(programs_, number_, form.startAfter);
    restartWhen_ = RestartWhenChoices(form.restartWhen);
    FillDropDown(dialog_, kIdShow, show_, form.show);
    FillDropDown(dialog_, kIdMonitor, monitor_, form.monitor);
    Check(dialog_, kIdOnTop, form.onTop);
    Check(dialog_, kIdNoWindow, form.noWindow);
    captionMatch_ = CaptionMatchChoices(form.captionMatch);
    FillDropDown(dialog_, kIdCaptionMatch, captionMatch_, form.captionMatch);
    SetDlgItemTextW(dialog_, kIdWindowClass, form.windowClass.c_str());
    SendDlgItemMessageW(dialog_, kIdWindowClass, EM_LIMITTEXT, kClassLength, 0);
    SetDlgItemTextW(dialog_, kIdProcess, form.process.c_str());
    SendDlgItemMessageW(dialog_, kIdProcess, EM_LIMITTEXT, kWaitForLength, 0);
    SetDlgItemTextW(dialog_, kIdDelay, form.startDelay.c_str());
    SendDlgItemMessageW(dialog_, kIdDelay, EM_LIMITTEXT, kSecondsLength, 0);
    FillDropDown(dialog_, kIdStartAfter, startAfter_, form.startAfter);
    SetDlgItemTextW(dialog_, kIdWaitFor, form.waitFor.c_str());
    SendDlgItemMessageW(dialog_, kIdWaitFor, EM_LIMITTEXT, kWaitForLength, 0);
    SetDlgItemTextW(dialog_, kIdWaitSeconds, form.waitSeconds.c_str());
    SendDlgItemMessageW(dialog_, kIdWaitSeconds, EM_LIMITTEXT, kSecondsLength, 0);
    SendDlgItemMessageW(dialog_, kIdWaitSeconds, EM_SETCUEBANNER, TRUE,
                        reinterpret_cast<LPARAM>(std::to_wstring(kDefaultWaitSeconds).c_str()));
    SetDlgItemTextW(dialog_, kIdHours, form.hours.c_str());
    SendDlgItemMessageW(dialog_, kIdHours, EM_LIMITTEXT, kWaitForLength, 0);
    SetDlgItemTextW(dialog_, kIdIdle, form.idleRestart.c_str());
    SendDlgItemMessageW(dialog_, kIdIdle, EM_LIMITTEXT, std::to_wstring(kMaxIdleMinutes).size(), 0);
    Check(dialog_, kIdMemoryRule, form.restart.memoryOn);
    SetDlgItemTextW(dialog_, kIdMemoryLimit, form.restart.megabytes.c_str());
    SendDlgItemMessageW(dialog_, kIdMemoryLimit, EM_LIMITTEXT, std::to_wstring(kMaxMemoryLimitMB).size(), 0);
    Check(dialog_, kIdScheduleRule, form.restart.scheduleOn);
    SetDlgItemTextW(dialog_, kIdScheduleTimes, form.restart.times.c_str());
    SendDlgItemMessageW(dialog_, kIdScheduleTimes, EM_LIMITTEXT, kTimesLength, 0);
    Check(dialog_, kIdCrashDialogRule, form.restart.noCrashDialog);
    FillDropDown(dialog_, kIdRestartWhen, restartWhen_, form.restartWhen);
    SetDlgItemTextW(dialog_, kIdEscalate, form.escalate.c_str());
    SetDlgItemTextW(dialog_, kIdEscalateMinutes, form.escalateMinutes.c_str());
    FillHealth(form.health);
}

void SettingsDialog::FillHealth(HealthCheckForm const& health) {
    SetDlgItemTextW(dialog_, kIdCheck, health.check.c_str());
    SendDlgItemMessageW(dialog_, kIdCheck, EM_LIMITTEXT, kWaitForLength, 0);
    SetDlgItemTextW(dialog_, kIdCheckText, health.text.c_str());
    SendDlgItemMessageW(dialog_, kIdCheckText, EM_LIMITTEXT, kWaitForLength, 0);
    SetDlgItemTextW(dialog_, kIdCheckAge, health.age.c_str());
    SendDlgItemMessageW(dialog_, kIdCheckAge, EM_LIMITTEXT, kAgeLength, 0);
    for (HealthNumberBox const& box : kHealthNumbers) {
        SetDlgItemTextW(dialog_, box.id, (health.*box.field).c_str());
        SendDlgItemMessageW(dialog_, box.id, EM_LIMITTEXT, kSecondsLength, 0);
        SendDlgItemMessageW(dialog_, box.id, EM_SETCUEBANNER, TRUE,
                            reinterpret_cast<LPARAM>(std::to_wstring(box.fallback).c_str()));
    }
    checkAction_ = CheckActionChoices(health.action);
    FillDropDown(dialog_, kIdCheckAction, checkAction_, health.action);
}

INT_PTR SettingsDialog::OnInitDialog() {
    pageBrush_ = GetSysColorBrush(Themed() ? COLOR_WINDOW : COLOR_BTNFACE);
    SetWindowTextW(dialog_, (L"Settings for " + programs_[number_].name).c_str());
    CreatePages();
    LayOut(dpi_);
    FillFields();
    SetDlgItemTextW(dialog_, kIdSettingsLockNote, readOnly_ ? kLockedSettingsNote : L"");
    ShowWindow(GetDlgItem(dialog_, kIdSettingsLockNote), readOnly_ ? SW_SHOW : SW_HIDE);
    // Read-only: every field greyed and OK disabled; the tabs still turn the pages, and Cancel closes.
    if (readOnly_) LockControls(ProgramSettingsLayout(), {kIdSettingsTabs, kIdSettingsLockNote});
    EnableBoxes();
    ShowPage(SettingsPage::Window);
    SetFocus(GetDlgItem(dialog_, readOnly_ ? kIdSettingsTabs : kIdShow));
    return FALSE;  // the focus is set already
}

ProgramSettingsForm SettingsDialog::ReadForm() const {
    ProgramSettingsForm form;
    form.show = ChosenValue(dialog_, kIdShow, show_);
    form.monitor = ChosenValue(dialog_, kIdMonitor, monitor_);
    form.onTop = Checked(dialog_, kIdOnTop);
    form.noWindow = Checked(dialog_, kIdNoWindow);
    form.captionMatch = ChosenValue(dialog_, kIdCaptionMatch, captionMatch_);
    form.windowClass = WindowText(GetDlgItem(dialog_, kIdWindowClass));
    form.process = WindowText(GetDlgItem(dialog_, kIdProcess));
    form.exe = programs_[number_].exe;
    form.startDelay = WindowText(GetDlgItem(dialog_, kIdDelay));
    form.startAfter = ChosenValue(dialog_, kIdStartAfter, startAfter_);
    form.waitFor = WindowText(GetDlgItem(dialog_, kIdWaitFor));
    form.waitSeconds = WindowText(GetDlgItem(dialog_, kIdWaitSeconds));
    form.hours = WindowText(GetDlgItem(dialog_, kIdHours));
    form.idleRestart = WindowText(GetDlgItem(dialog_, kIdIdle));
    form.restart.memoryOn = Checked(dialog_, kIdMemoryRule);
    form.restart.megabytes = WindowText(GetDlgItem(dialog_, kIdMemoryLimit));
    form.restart.scheduleOn = Checked(dialog_, kIdScheduleRule);
    form.restart.times = WindowText(GetDlgItem(dialog_, kIdScheduleTimes));
    form.restart.noCrashDialog = Checked(dialog_, kIdCrashDialogRule);
    form.restartWhen = ChosenValue(dialog_, kIdRestartWhen, restartWhen_);
    form.escalate = WindowText(GetDlgItem(dialog_, kIdEscalate));
    form.escalateMinutes = WindowText(GetDlgItem(dialog_, kIdEscalateMinutes));
    form.health.check = WindowText(GetDlgItem(dialog_, kIdCheck));
    form.health.text = WindowText(GetDlgItem(dialog_, kIdCheckText));
    form.health.age = WindowText(GetDlgItem(dialog_, kIdCheckAge));
    for (HealthNumberBox const& box : kHealthNumbers) form.health.*box.field = WindowText(GetDlgItem(dialog_, box.id));
    form.health.action = ChosenValue(dialog_, kIdCheckAction, checkAction_);
    return form;
}

// The box of the Health page's row a refusal names.
int HealthBox(HealthRow row) {
    switch (row) {
    case HealthRow::Check: return kIdCheck;
    case HealthRow::Age: return kIdCheckAge;
    case HealthRow::Seconds: return kIdCheckSeconds;
    case HealthRow::Timeout: return kIdCheckTimeout;
    case HealthRow::Grace: return kIdCheckGrace;
    case HealthRow::Failures: return kIdCheckFailures;
    case HealthRow::None: break;
    }
    return kIdCheck;
}

// The page and box of the row a refusal names.
void SettingsDialog::FocusRow(SettingsRow row, HealthRow healthRow) {
    switch (row) {
    case SettingsRow::StartDelay: ShowPage(SettingsPage::Start); FocusBox(dialog_, kIdDelay); break;
    case SettingsRow::WaitFor: ShowPage(SettingsPage::Start); FocusBox(dialog_, kIdWaitFor); break;
    case SettingsRow::WaitSeconds: ShowPage(SettingsPage::Start); FocusBox(dialog_, kIdWaitSeconds); break;
    case SettingsRow::Hours: ShowPage(SettingsPage::Start); FocusBox(dialog_, kIdHours); break;
    case SettingsRow::IdleRestart: ShowPage(SettingsPage::Start); FocusBox(dialog_, kIdIdle); break;
    case SettingsRow::MemoryLimit: ShowPage(SettingsPage::Restart); FocusBox(dialog_, kIdMemoryLimit); break;
    case SettingsRow::RestartTimes:
        ShowPage(SettingsPage::Restart);
        FocusBox(dialog_, kIdScheduleTimes);
        break;
    case SettingsRow::Process: ShowPage(SettingsPage::Window); FocusBox(dialog_, kIdProcess); break;
    case SettingsRow::Health: ShowPage(SettingsPage::Health); FocusBox(dialog_, HealthBox(healthRow)); break;
    case SettingsRow::NoWindow: ShowPage(SettingsPage::Window); FocusBox(dialog_, kIdNoWindow); break;
    case SettingsRow::Escalate: ShowPage(SettingsPage::Restart); FocusBox(dialog_, kIdEscalate); break;
    case SettingsRow::EscalateMinutes: ShowPage(SettingsPage::Restart); FocusBox(dialog_, kIdEscalateMinutes); break;
    case SettingsRow::None: break;
    }
}

void SettingsDialog::Accept() {
    if (readOnly_) return;  // OK is disabled; Enter must not slip past it
    ProgramSettingsChoice const choice = RulesFromSettingsForm(ReadForm(), programs_[number_].rules);
    if (!choice.refusal.empty()) {
        ShowMessage(platform_.system, choice.refusal, kMbIconExclamation, kApplicationTitle);
        FocusRow(choice.row, choice.healthRow);
        return;
    }
    // Written while the dialog is open, so that a failure's message is modal to it.
    if (AcceptRestartRules(programs_, number_, choice.rules, settings_, platform_.system)) {
        EndDialog(dialog_, IDOK);
    }
}

INT_PTR SettingsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (!StandsOnPage(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) return FALSE;
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(pageBrush_);
    case WM_NOTIFY: {
        auto const* header = reinterpret_cast<NMHDR const*>(lParam);
        if (header->idFrom == kIdSettingsTabs && header->code == TCN_SELCHANGE) {
            auto const page = SendDlgItemMessageW(dialog_, kIdSettingsTabs, TCM_GETCURSEL, 0, 0);
            if (page >= 0 && page < kSettingsPageCount) ShowPage(static_cast<SettingsPage>(page));
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: Accept(); return TRUE;
        case kIdMemoryRule:
        case kIdScheduleRule:
        case kIdNoWindow:
            if (HIWORD(wParam) == BN_CLICKED) EnableBoxes();
            return TRUE;
        case kIdCheck:
            if (HIWORD(wParam) == EN_CHANGE) EnableBoxes();
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

void ShowProgramSettingsDialog(HWND owner, HINSTANCE instance, Platform& platform, SettingsFile const& settings,
                               WatchedPrograms& programs, int number, bool readOnly) {
    if (number < 1 || number > programs.Count()) return;
    SettingsDialog(platform, settings, programs, number, readOnly).ShowModal(owner, instance);
}

}  // namespace vigilon
