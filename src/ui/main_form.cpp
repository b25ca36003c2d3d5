#include "ui/main_form.h"

#include <utility>

#include "app/options.h"
#include "app/settings_check.h"
#include "platform/win32/dpi.h"
#include "platform/win32/module_path.h"
#include "platform/win32/private_messages.h"
#include "platform/win32/win32_handles.h"
#include "ui/about_dialog.h"
#include "ui/dialog_shown.h"
#include "ui/layout_table.h"
#include "ui/options_dialog.h"
#include "ui/program_settings_dialog.h"
#include "ui/res/resource_ids.h"

namespace vigilon {
namespace {

DWORD const kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// The first of the shutdown levels that programs may take to be told of the session's end before
// others; every program starts at 0x280.
DWORD const kShutdownLevelBeforePrograms = 0x300;

// Makes one of Vigilon's own windows topmost, or not, when it is not so already: its own thread's
// window, so nothing waits on another program.
void SetOwnTopmost(HWND window, bool topmost) {
    if (window == nullptr || ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) == topmost) return;
    // waits-allowed: one of Vigilon's own windows, on this thread
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// True for a private message that carries this process's token.
bool FromThisProcess(LPARAM lParam) {
    return (static_cast<std::uintptr_t>(lParam) & ~std::uintptr_t{1}) == PrivateMessageToken();
}

}  // namespace

MainForm::MainForm(Win32Platform& platform, WatchedPrograms& programs, SettingsFile const& settings,
                   std::wstring programFolder)
    : platform_(platform),
      core_(platform.View()),
      settings_(settings),
      programs_(programs),
      engine_(core_, *this, programs, std::move(programFolder)),
      editor_(core_, programs, settings) {
    ApplyOptions(LoadOptions(settings, platform.registry));
}

void MainForm::ApplyOptions(Options const& options) {
    engine_.SetNoticeMode(options.trayNotices ? NoticeMode::Tray : NoticeMode::Box);
    engine_.SetBackoff(options.backoff);
    engine_.SetHangSeconds(options.hangSeconds);
    engine_.SetEventLog(options.eventLog);
    engine_.SetTroubleCommand(options.onEvent);
    engine_.SetMetricsFile(options.metricsFile);
    applied_ = options;
    engine_.SetHeartbeat(options.heartbeatUrl, options.heartbeatSeconds);
    engine_.SetScreenshots(options.screenshots);
    engine_.SetDisplayOff(options.displayOff);
    engine_.SetEscalation(options.escalation);
    engine_.SetAlerts(options.alertUrl, options.alertFormat, options.alertAfter, AlertKindsFrom(options.alertKinds));
    if (window_ != nullptr) ApplyMenuHotkey(options.menuHotkey);
}

void MainForm::ShowEscalationNotice() {
    std::optional<EscalationKeeper::Notice> const notice = engine_.EscalationNotice();
    escalationNotice_.Show(notice ? std::optional<std::wstring>(notice->text) : std::nullopt);
}

bool MainForm::Create(HINSTANCE instance) {
    instance_ = instance;
    escalationNotice_.SetInstance(instance);
    UINT const dpi = SystemDpi();
    icon_.Reset(LoadIconForDpi(instance, IDI_VIGILON, false, dpi));
    smallIcon_.Reset(LoadIconForDpi(instance, IDI_VIGILON, true, dpi));
    if (!RegisterWindowClass(instance, kClassName, WindowProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon_.Get(),
                             smallIcon_.Get())) {
        return false;
    }
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    return CreateWindowExW(0, kClassName, L"Vigilon", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300,
                           nullptr, CreateMenuBar(), instance, this) != nullptr;
}

void MainForm::OnCreate() {
    popup_.Reset(CreateTrayMenu());
    editor_.Create(window_, instance_);
    LayOut();
    ApplyIcons(WindowDpi(window_));  // the tray's icon too, which Add shows
    // Keyboard navigation, Enter and Escape work in the editor as in a dialog, and the editor's
    // questions are owned by this window while it shows.
    platform_.events.SetDialogWindow(window_);
    platform_.system.SetOwner(window_);
    tray_.Add(window_, kTrayCallbackMessage, trayIcon_.Get(), kTip);
    platform_.processes.SetNotifyWindow(window_, kProcessEndedMessage, kWindowAnsweredMessage);
    platform_.capture.SetNotifyWindow(window_, kScreenshotDoneMessage);
    platform_.desktop.SetPlacementNotify(window_, kPlacementDoneMessage);
    SetTimer(window_, kCommandsTimerId, kWatchIntervalMilliseconds, nullptr);
    ApplyMenuHotkey(applied_.menuHotkey);
    // An unlocked or reconnected session may have its displays laid out anew: windows with a
    // place of their own are put back there.
    session_.Register(window_);
    // Told of the session's end before the watched programs, Vigilon asks them to close while they
    // still run, and starts none of them again as the system ends them.
    SetProcessShutdownParameters(kShutdownLevelBeforePrograms, 0);
}

void MainForm::ApplyIcons(UINT dpi) {
    // The class keeps the icons it was registered with; the window's own are set over them.
    UniqueIcon big(LoadIconForDpi(instance_, IDI_VIGILON, false, dpi));
    UniqueIcon smallIcon(LoadIconForDpi(instance_, IDI_VIGILON, true, dpi));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
    windowIcon_ = std::move(big);
    windowSmallIcon_ = std::move(smallIcon);
    trayIcon_.Reset(LoadIconForDpi(instance_, IDI_VIGILON, true, SystemDpi()));
    tray_.SetIcon(trayIcon_.Get());
}

void MainForm::LayOut() {
    UINT const dpi = WindowDpi(window_);
    RECT frame = {0, 0, TwipsToPixels(kEditorWidth, dpi), TwipsToPixels(kEditorHeight, dpi)};
    AdjustFrameForDpi(frame, kWindowStyle, true, 0, dpi);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    editor_.LayOut(dpi);
}

void MainForm::SetDescription(std::wstring const& text) { editor_.SetDescription(text); }

void MainForm::SetCaption(std::wstring const& text) { SetWindowTextW(window_, text.c_str()); }

void MainForm::StartWatching() {
    // Minimising hides the window and resumes launching (OnSize); only the tray icon remains.
    ShowWindow(window_, SW_SHOWMINNOACTIVE);
    EnableTimer();
}

void MainForm::StartConfiguring() {
    StopForEditing();
    RestoreMainWindow();
}

WindowHandle MainForm::MainWindow() { return FromHwnd(window_); }

void MainForm::ShowMainWindow() {
    if (window_ == nullptr) return;
    // Shown in its current state: after a start in watching mode it is minimised and shows as a
    // taskbar button. That minimised state must not count as the user minimising it again.
    showingStop_ = true;
    ShowWindow(window_, IsIconic(window_) ? SW_SHOWMINNOACTIVE : SW_SHOW);
    showingStop_ = false;
}

void MainForm::EnableTimer() {
    if (window_ == nullptr || !mode_.StartWatching()) return;
    SetTimer(window_, kWatchTimerId, kWatchIntervalMilliseconds, nullptr);
}

void MainForm::RecordStart(std::wstring const& version) {
    // Settings an administrator's policy holds are named, so that the history explains them.
    std::wstring const policies = PolicySummary(settings_, platform_.registry);
    CheckSettings();
    engine_.SetVersion(version);
    engine_.RecordStart(L"version " + version + L", settings " + settings_.Path() + L", programs " +
                            std::to_wstring(programs_.Count()),
                        policies);
}

void MainForm::RunPass() {
    mode_.RunPass([this] { engine_.WatchPrograms(); });
}

void MainForm::OnSize(WPARAM kind) {
    bool const wasMinimised = minimised_;
    minimised_ = kind == SIZE_MINIMIZED;
    // Restored from its taskbar button (after a stop on a missing file): the editor opens afresh.
    if (wasMinimised && kind == SIZE_RESTORED) EditorOpens();
    if (kind != SIZE_MINIMIZED || showingStop_ || mode_.Ending()) return;
    ShowWindow(window_, SW_HIDE);
    KeepOwnWindowsAbove();
    ResumeAfterEditing();
    engine_.ResumeLaunching();
}

void MainForm::OnActivate(WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE) {
        lastFocus_ = GetFocus();
        return;
    }
    if (reloadOnActivate_ && IsWindowVisible(window_)) {
        reloadOnActivate_ = false;
        editor_.Presenter().OnActivate();
        editor_.FocusList();
    } else if (lastFocus_ != nullptr && IsChild(window_, lastFocus_)) {
        SetFocus(lastFocus_);
    } else {
        editor_.FocusList();
    }
}

bool MainForm::SettingsLocked() const { return LoadOptions(settings_, platform_.registry).settingsLocked; }

void MainForm::EditorOpens() {
    editor_.SetReadOnly(SettingsLocked());
    reloadOnActivate_ = true;
}

void MainForm::Configure() {
    // Asked again while the editor is open (a second `configure`, the menu's hot key): brought to
    // the front, and the programs' windows left as the first call left them.
    if (mode_.Editing()) {
        RestoreMainWindow();
        return;
    }
    StopForEditing();
    engine_.ShowHidePrograms(false);
    RestoreMainWindow();
}

void MainForm::StopForEditing() {
    if (mode_.OpenEditor()) engine_.WatchingStopped(L"the editor is open");
    KillTimer(window_, kWatchTimerId);
}

void MainForm::ResumeAfterEditing() {
    if (!mode_.CloseEditor()) return;
    // Before a pass runs again: the editor and the dialogs may have saved the file.
    CheckSettings();
    engine_.WatchingResumed(L"the editor is closed");
}

void MainForm::CheckSettings() {
    // A file that cannot be read this moment keeps the problems found last.
    if (std::optional<std::wstring> const text = settings_.ReadText()) {
        engine_.SetSettingsProblems(settings_.Name(), CheckSettingsText(*text));
    }
}

void MainForm::RestoreMainWindow() {
    ShowWindow(window_, SW_SHOWNORMAL);
    KeepOwnWindowsAbove();
    SetForegroundWindow(window_);
}

void MainForm::KeepOwnWindowsAbove() {
    if (window_ == nullptr || mode_.Ending()) return;
    // Minimised on the taskbar (a stop on a missing file), the editor covers nothing.
    bool const editor = IsWindowVisible(window_) != FALSE && IsIconic(window_) == FALSE;
    HWND const status = status_.Window();
    bool const statusOpen = status != nullptr && IsWindowVisible(status) != FALSE && IsIconic(status) == FALSE;
    // The countdown's notice too: a kiosk window is then not raised above it.
    engine_.SetOwnWindowsOpen(editor || statusOpen || escalationNotice_.Open());
    // Dialogs and boxes owned by a topmost window are topmost too.
    bool const above = engine_.KeepsWindowsOnTop();
    SetOwnTopmost(window_, above && editor);
    SetOwnTopmost(status, above && statusOpen);
}

void MainForm::ShowAbout() {
    DialogShown const shown(engine_);
    ShowAboutDialog(window_, instance_, core_);
    // Coming back from another window of the program reloads the editor.
    editor_.Presenter().OnActivate();
}

void MainForm::ShowOptions() {
    DialogShown const shown(engine_);
    std::wstring const exe = ExecutablePath();
    if (auto const chosen = ShowOptionsDialog(window_, instance_, core_, settings_, exe, SettingsLocked())) {
        std::wstring const changed = ChangedOptions(applied_, *chosen);
        if (!changed.empty()) engine_.Record(L"options", changed);
        ApplyOptions(*chosen);
        CheckSettings();  // Options may have mended what the file got wrong
    }
    editor_.Presenter().OnActivate();
}

void MainForm::ShowProgramSettings() {
    DialogShown const shown(engine_);
    // For the program the editor shows, once it is saved; with none, there is nothing to set.
    if (editor_.Presenter().SettingsAvailable()) {
        ShowProgramSettingsDialog(window_, instance_, core_, settings_, programs_, editor_.Presenter().CurrentProgram(),
                                  SettingsLocked());
    }
    editor_.Presenter().OnActivate();
}

void MainForm::OpenHistory() {
    // The system's viewer for the file, or Notepad (by its full path) where .log files have none.
    std::wstring const path = engine_.HistoryPath();
    if (platform_.shell.Execute(FromHwnd(window_), L"open", path, L"", L"", SW_SHOWNORMAL).code <= 32) {
        platform_.shell.StartProgram(L"\"" + SystemFolderPath() + L"\\notepad.exe\" \"" + path + L"\"");
    }
}

LRESULT MainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // The taskbar may have come back at another DPI: the icon is drawn for it afresh.
        trayIcon_.Reset(LoadIconForDpi(instance_, IDI_VIGILON, true, SystemDpi()));
        tray_.SetIconForRestore(trayIcon_.Get());
        tray_.Restore();
        return 0;
    }
    switch (message) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_TIMER:
        if (wParam == kWatchTimerId) mode_.Tick([this] { engine_.WatchPrograms(); });
        if (wParam == kCommandsTimerId && !mode_.Ending()) {
            engine_.TendCommands();
            AnswerSettledScreenshots();  // also one not done within its limit
            AnswerSettledChecks();
            AnswerSettledAlertTests();
            ShowEscalationNotice();
            KeepOwnWindowsAbove();  // also for a window kept on top that came since they opened
        }
        return 0;
    case WM_HOTKEY:
        if (wParam == kMenuHotkeyId && !mode_.Ending()) ShowPopupMenu(true);
        return 0;
    case kTrayCallbackMessage: OnTrayNotification(lParam); return 0;
    case kProcessEndedMessage: RunPass(); return 0;  // a watched program has ended: start it now
    case kPlacementDoneMessage:
        if (FromThisProcess(lParam)) engine_.TakePlacementOutcomes();
        return 0;
    case kWindowAnsweredMessage:
        if (FromThisProcess(lParam)) engine_.WindowAnswered(FromHwnd(reinterpret_cast<HWND>(wParam)), (lParam & 1) != 0);
        return 0;
    case WM_COMMAND:
        if (!editor_.OnCommand(LOWORD(wParam), HIWORD(wParam))) OnCommand(LOWORD(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_SHOWWINDOW:
        if (wParam != FALSE) EditorOpens();
        return DefWindowProcW(window_, message, wParam, lParam);
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_SIZE: OnSize(wParam); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<COPYDATASTRUCT const*>(lParam));
    case kRemoteCloseMessage:
        if (FromThisProcess(lParam)) engine_.ClosePrograms();
        return 0;
    case kRemoteExitMessage:
        if (FromThisProcess(lParam)) Unload();
        return 0;
    case kScreenshotDoneMessage:
        if (mode_.Ending() || !FromThisProcess(lParam)) return 0;
        RunPass();  // a restart waits for its picture before the window is asked to close
        AnswerSettledScreenshots();
        return 0;
    case kRemoteEditorMessage:
        if (FromThisProcess(lParam) && !mode_.Ending()) Configure();
        return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        if (wParam != FALSE) OnEndSession((static_cast<DWORD>(lParam) & ENDSESSION_CLOSEAPP) != 0);
        return 0;
    case WM_DPICHANGED:
        // Moved to a monitor of another DPI: the suggested rectangle, the editor laid out anew,
        // and the icons drawn for it; the tray's for the taskbar's DPI.
        MoveToSuggestedRect(window_, lParam);
        editor_.LayOut(HIWORD(wParam));
        ApplyIcons(HIWORD(wParam));
        return 0;
    case WM_DISPLAYCHANGE:
        // A display attached, taken away or set to another size: windows go where they belong now.
        if (!mode_.Ending()) engine_.PlaceWindowsAgain();
        return DefWindowProcW(window_, message, wParam, lParam);
    case WM_WTSSESSION_CHANGE:
        if (!mode_.Ending() && SessionNotifications::ScreenCameBack(wParam)) engine_.PlaceWindowsAgain();
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace vigilon
