#include "ui/options_dialog.h"

#include "app/logon_start.h"
#include "app/restart_rules.h"
#include "platform/win32/module_path.h"
#include "platform/win32/win32_handles.h"
#include "ui/base_dialog.h"
#include "ui/dialog_controls.h"
#include "support/application_title.h"
#include "support/blanks.h"
#include "support/message.h"
#include "ui/options_logic.h"
#include "ui/program_settings_logic.h"

namespace vigilon {
namespace {

// Everything the dialog uses while it is open.
class OptionsDialog final : public BaseDialog<OptionsDialog> {
public:
    OptionsDialog(Platform& platform, SettingsFile const& settings, std::wstring const& exePath, bool locked)
        : platform_(platform), settings_(settings), exePath_(exePath), locked_(locked) {}

    std::optional<Options> Show(HWND owner, HINSTANCE instance) {
        if (ShowModal(owner, instance) != IDOK) return std::nullopt;
        return chosen_;
    }
    INT_PTR OnInitDialog();
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void LayOut(UINT dpi) { PlaceControls(OptionsLayout(logonNote_), dpi); }

private:
    void Accept();
    void BrowseForCommand();
    void FillAlertRows(Options const& current);
    bool TakeAlertRows();
    void FillEscalationRows(Options const& current);
    bool TakeEscalationRows();

    Platform& platform_;
    SettingsFile const& settings_;
    std::wstring const& exePath_;
    bool locked_;                  // an administrator locks the settings
    Options chosen_;               // as loaded, then as the user leaves the rows; with the policies' locks
    bool startedAtLogon_ = false;  // the box as it was when the dialog opened
    bool logonNote_ = false;       // the note naming another copy that starts at logon is shown
};

// A row an administrator's policy sets: greyed, and marked.
void Lock(HWND dialog, std::initializer_list<int> ids) {
    for (int const id : ids) {
        HWND const control = GetDlgItem(dialog, id);
        EnableWindow(control, FALSE);
        std::wstring const text = WindowText(control);
        bool const box = id == kIdHangSeconds || id == kIdOnEvent || id == kIdOnEventBrowse || id == kIdAlertUrl ||
                         id == kIdAlertFormat || id == kIdAlertAfter || id == kIdAlertAfterUnit || id == kIdRebootAt ||
                         id == kIdRebootDays || id == kIdMinUptime || id == kIdMaxReboots || id == kIdMaxRebootsUnit ||
                         id == kIdNotice || id == kIdNoticeUnit;
        if (!box) SetWindowTextW(control, (text + L" *").c_str());
    }
}

INT_PTR OptionsDialog::OnInitDialog() {
    chosen_ = LoadOptions(settings_, platform_.registry);
    chosen_.settingsLocked = locked_;  // decided by the caller, as for the editor
    Options const& current = chosen_;
    LogonStart const logon = ReadLogonStart(platform_.registry, platform_.files, exePath_);
    std::wstring const note = LogonStartNote(logon);
    logonNote_ = !note.empty();
    CreateControls(OptionsLayout(logonNote_), kOptionsWidth, OptionsHeight(logonNote_));
    SetWindowTextW(dialog_, L"Options");
    LayOut(dpi_);
    startedAtLogon_ = logon.Enabled();
    Check(dialog_, kIdTrayNotices, current.trayNotices);
    Check(dialog_, kIdStartAtLogon, startedAtLogon_);
    SetDlgItemTextW(dialog_, kIdLogonNote, note.c_str());
    Check(dialog_, kIdBackoff, current.backoff);
    Check(dialog_, kIdRestartHung, current.hangSeconds > 0);
    int const seconds = current.hangSeconds > 0 ? current.hangSeconds : kDefaultHangSeconds;
    SetDlgItemTextW(dialog_, kIdHangSeconds, std::to_wstring(seconds).c_str());
    SendDlgItemMessageW(dialog_, kIdHangSeconds, EM_LIMITTEXT, std::to_wstring(kMaxHangSeconds).size(), 0);
    EnableWindow(GetDlgItem(dialog_, kIdHangSeconds), current.hangSeconds > 0);
    Check(dialog_, kIdEventLog, current.eventLog);
    Check(dialog_, kIdDisplayOff, current.displayOff);
    SetDlgItemTextW(dialog_, kIdOnEvent, current.onEvent.c_str());
    // The settings file keeps this many characters of a value.
    SendDlgItemMessageW(dialog_, kIdOnEvent, EM_LIMITTEXT, kMaxIniValueLength, 0);
    FillAlertRows(current);
    FillEscalationRows(current);
    Options::Locks const& locked = current.locked;
    if (locked.rebootAt) Lock(dialog_, {kIdRebootAtLabel, kIdRebootAt});
    if (locked.rebootDays) Lock(dialog_, {kIdRebootDaysLabel, kIdRebootDays});
    if (locked.minUptime) Lock(dialog_, {kIdMinUptimeLabel, kIdMinUptime});
    if (locked.maxReboots) Lock(dialog_, {kIdMaxRebootsLabel, kIdMaxReboots, kIdMaxRebootsUnit});
    if (locked.escalateNotice) Lock(dialog_, {kIdNoticeLabel, kIdNotice, kIdNoticeUnit});
    if (locked.alertUrl) Lock(dialog_, {kIdAlertUrlLabel, kIdAlertUrl});
    if (locked.alertFormat) Lock(dialog_, {kIdAlertFormatLabel, kIdAlertFormat});
    if (locked.alertAfter) Lock(dialog_, {kIdAlertAfterLabel, kIdAlertAfter, kIdAlertAfterUnit});
    if (locked.notices) Lock(dialog_, {kIdTrayNotices});
    if (locked.backoff) Lock(dialog_, {kIdBackoff});
    if (locked.hangSeconds) Lock(dialog_, {kIdRestartHung, kIdHangSeconds});
    if (locked.eventLog) Lock(dialog_, {kIdEventLog});
    if (locked.onEvent) Lock(dialog_, {kIdOnEventLabel, kIdOnEvent, kIdOnEventBrowse});
    if (locked.displayOff) Lock(dialog_, {kIdDisplayOff});
    ShowWindow(GetDlgItem(dialog_, kIdPolicyNote), locked.Any() || current.settingsLocked ? SW_SHOW : SW_HIDE);
    if (current.settingsLocked) {
        // Read-only: every row greyed and OK disabled; Cancel closes.
        LockControls(OptionsLayout(logonNote_), {kIdPolicyNote});
        SetDlgItemTextW(dialog_, kIdPolicyNote, kLockedSettingsNote);
        SetFocus(GetDlgItem(dialog_, kIdOptionsCancel));
        return FALSE;  // the focus is set already
    }
    SetFocus(GetDlgItem(dialog_, locked.notices ? kIdStartAtLogon : kIdTrayNotices));
    return FALSE;
}

void OptionsDialog::FillAlertRows(Options const& current) {
    SetDlgItemTextW(dialog_, kIdAlertUrl, current.alertUrl.c_str());
    SendDlgItemMessageW(dialog_, kIdAlertUrl, EM_LIMITTEXT, kMaxIniValueLength, 0);
    for (std::wstring const& label : AlertFormatLabels()) {
        SendDlgItemMessageW(dialog_, kIdAlertFormat, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
    }
    SendDlgItemMessageW(dialog_, kIdAlertFormat, CB_SETCURSEL, static_cast<WPARAM>(current.alertFormat), 0);
    SetDlgItemTextW(dialog_, kIdAlertAfter, std::to_wstring(current.alertAfter).c_str());
    SendDlgItemMessageW(dialog_, kIdAlertAfter, EM_LIMITTEXT, std::to_wstring(kMaxAlertAfterSeconds).size(), 0);
}

void OptionsDialog::FillEscalationRows(Options const& current) {
    EscalationOptions const& escalation = current.escalation;
    auto const fill = [&](int id, std::wstring const& text, std::size_t limit) {
        SetDlgItemTextW(dialog_, id, text.c_str());
        SendDlgItemMessageW(dialog_, id, EM_LIMITTEXT, limit, 0);
    };
    fill(kIdRebootAt, escalation.rebootAt ? FormatRestartTimes({*escalation.rebootAt}) : L"", 5);
    fill(kIdRebootDays, RebootDaysText(escalation.rebootDays), 80);
    fill(kIdMinUptime, std::to_wstring(escalation.minUptimeMinutes), 4);
    fill(kIdMaxReboots, std::to_wstring(escalation.maxReboots), 3);
    fill(kIdNotice, std::to_wstring(escalation.noticeSeconds), 3);
}

// Reads the escalation rows into `chosen_`, but for those a policy sets; false, with the refusal
// said and its box focused, when one cannot be used.
bool OptionsDialog::TakeEscalationRows() {
    Options::Locks const& locked = chosen_.locked;
    EscalationOptions const& was = chosen_.escalation;
    auto const typed = [&](bool lockedRow, int id, std::wstring const& kept) {
        return lockedRow ? kept : WindowText(GetDlgItem(dialog_, id));
    };
    EscalationChoice const choice = ChooseEscalation(
        typed(locked.minUptime, kIdMinUptime, std::to_wstring(was.minUptimeMinutes)),
        typed(locked.maxReboots, kIdMaxReboots, std::to_wstring(was.maxReboots)),
        typed(locked.escalateNotice, kIdNotice, std::to_wstring(was.noticeSeconds)),
        typed(locked.rebootAt, kIdRebootAt, was.rebootAt ? FormatRestartTimes({*was.rebootAt}) : L""),
        typed(locked.rebootDays, kIdRebootDays, RebootDaysText(was.rebootDays)));
    if (!choice.refusal.empty()) {
        static constexpr int kBoxes[] = {kIdMinUptime, kIdMaxReboots, kIdNotice, kIdRebootAt, kIdRebootDays};
        ShowMessage(platform_.system, choice.refusal, kMbIconExclamation, kApplicationTitle);
        FocusBox(dialog_, kBoxes[choice.refusedRow]);
        return false;
    }
    chosen_.escalation = choice.options;
    return true;
}

// Reads the Alerts rows into `chosen_`, but for those a policy sets; false, with the refusal
// said and its box focused, when the address or the seconds cannot be used.
bool OptionsDialog::TakeAlertRows() {
    Options::Locks const& locked = chosen_.locked;
    auto const format = SendDlgItemMessageW(dialog_, kIdAlertFormat, CB_GETCURSEL, 0, 0);
    AlertsChoice const alerts =
        ChooseAlerts(locked.alertUrl ? chosen_.alertUrl : WindowText(GetDlgItem(dialog_, kIdAlertUrl)),
                     locked.alertFormat ? static_cast<int>(chosen_.alertFormat) : static_cast<int>(format),
                     locked.alertAfter ? std::to_wstring(chosen_.alertAfter)
                                       : WindowText(GetDlgItem(dialog_, kIdAlertAfter)));
    if (!alerts.refusal.empty()) {
        ShowMessage(platform_.system, alerts.refusal, kMbIconExclamation, kApplicationTitle);
        FocusBox(dialog_, alerts.refusedAfter ? kIdAlertAfter : kIdAlertUrl);
        return false;
    }
    chosen_.alertUrl = alerts.url;
    chosen_.alertFormat = alerts.format;
    chosen_.alertAfter = alerts.afterSeconds;
    return true;
}

// A program or script to run on trouble, chosen in the shell's dialog, put in the box as a command.
void OptionsDialog::BrowseForCommand() {
    std::wstring const path = platform_.shell.BrowseForFolderDialog(
        FromHwnd(dialog_), L"Choose the program or script to run on trouble", L"", true);
    if (path.empty()) return;
    SetDlgItemTextW(dialog_, kIdOnEvent, CommandForChosenFile(path, SystemFolderPath()).c_str());
}

void OptionsDialog::Accept() {
    if (chosen_.settingsLocked) return;  // OK is disabled; Enter must not slip past it
    Options::Locks const& locked = chosen_.locked;
    std::wstring const typed = WindowText(GetDlgItem(dialog_, kIdHangSeconds));
    HangSecondsChoice const hang = locked.hangSeconds ? HangSecondsChoice{chosen_.hangSeconds, {}}
                                                      : ChooseHangSeconds(Checked(dialog_, kIdRestartHung), typed);
    if (!hang.refusal.empty()) {
        // Refused with the dialog kept open, the box ready for another number.
        ShowMessage(platform_.system, hang.refusal, kMbIconExclamation, kApplicationTitle);
        FocusBox(dialog_, kIdHangSeconds);
        return;
    }
    if (!TakeAlertRows() || !TakeEscalationRows()) return;
    // A row a policy sets keeps the policy's value.
    bool const startAtLogon = Checked(dialog_, kIdStartAtLogon);
    if (!locked.notices) chosen_.trayNotices = Checked(dialog_, kIdTrayNotices);
    if (!locked.backoff) chosen_.backoff = Checked(dialog_, kIdBackoff);
    chosen_.hangSeconds = hang.seconds;
    if (!locked.eventLog) chosen_.eventLog = Checked(dialog_, kIdEventLog);
    if (!locked.displayOff) chosen_.displayOff = Checked(dialog_, kIdDisplayOff);
    if (!locked.onEvent) chosen_.onEvent = TrimSpacesAndTabs(WindowText(GetDlgItem(dialog_, kIdOnEvent)));
    // Written while the dialog is open, so that a failure's message is modal to it.
    AcceptOptions(chosen_, startAtLogon != startedAtLogon_ ? std::optional<bool>(startAtLogon) : std::nullopt,
                  settings_, platform_.registry, platform_.system, exePath_);
    EndDialog(dialog_, IDOK);
}

INT_PTR OptionsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: Accept(); return TRUE;
    case kIdOnEventBrowse:
        if (HIWORD(wParam) == BN_CLICKED) BrowseForCommand();
        return TRUE;
    case kIdRestartHung:
        // The seconds count only while the row is ticked.
        if (HIWORD(wParam) == BN_CLICKED) EnableWindow(GetDlgItem(dialog_, kIdHangSeconds), Checked(dialog_, kIdRestartHung));
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

std::optional<Options> ShowOptionsDialog(HWND owner, HINSTANCE instance, Platform& platform,
                                         SettingsFile const& settings, std::wstring const& exePath, bool locked) {
    return OptionsDialog(platform, settings, exePath, locked).Show(owner, instance);
}

}  // namespace vigilon
