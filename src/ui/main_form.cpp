#include "ui/main_form.h"

#include <algorithm>
#include <utility>

#include "app/hotkey.h"
#include "app/options.h"
#include "app/settings_check.h"
#include "platform/win32/dpi.h"
#include "platform/win32/module_path.h"
#include "platform/win32/private_messages.h"
#include "platform/win32/win32_handles.h"
#include "ui/about_dialog.h"
#include "ui/late_answer.h"
#include "ui/layout_table.h"
#include "ui/options_dialog.h"
#include "ui/program_settings_dialog.h"
#include "ui/res/resource_ids.h"

namespace vigilon {
namespace {

UINT_PTR const kWatchTimerId = 1;
UINT_PTR const kCommandsTimerId = 2;  // runs whether or not passes do
UINT const kWatchIntervalMilliseconds = 1000;
UINT const kProcessEndedMessage = WM_APP + 1;    // wParam: the process id
// The messages that change state carry PrivateMessageToken in lParam: any program can post to this
// window, but only this process knows the token.
UINT const kWindowAnsweredMessage = WM_APP + 2;  // wParam: the window; lParam: the token, +1 when it answered
UINT const kRemoteCloseMessage = WM_APP + 3;     // a script's /close, done after its answer has gone
UINT const kRemoteExitMessage = WM_APP + 4;      // a script's /exit, likewise
UINT const kPlacementDoneMessage = WM_APP + 5;   // a window's placement has ended; lParam: the token
UINT const kScreenshotDoneMessage = WM_APP + 6;  // a picture is done (a restart or a script waits for it); lParam: the token
UINT const kRemoteEditorMessage = WM_APP + 7;    // another start's `configure`, done after its answer has gone
int const kMenuHotkeyId = 1;
// Short, and given up at once for a caller found hung: a window that never reads its messages must
// not hold up watching. Windows calls a caller waiting in SendMessage hung only after five seconds;
// Vigilon answers well within them, since it handles sent messages inside its own waits and
// message boxes too.
UINT const kRemoteAnswerTimeoutMilliseconds = 2000;
wchar_t const kTip[] = L"Vigilon";
wchar_t const kPausedTip[] = L"Vigilon - launching paused";
DWORD const kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// The first of the shutdown levels that programs may take to be told of the session's end before
// others; every program starts at 0x280.
DWORD const kShutdownLevelBeforePrograms = 0x300;


HMENU CreateMenuBar() {
    HMENU const bar = CreateMenu();
    HMENU const file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kFileOptionsCommand, L"&Options...");
    AppendMenuW(file, MF_STRING, kFileExitCommand, L"E&xit");
    HMENU const program = CreatePopupMenu();
    AppendMenuW(program, MF_STRING, kProgramSettingsCommand, L"&Settings...");
    HMENU const help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kHelpAboutCommand, L"&About");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(program), L"&Program");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return bar;
}

HMENU CreateTrayMenu() {
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
    if (window_ != nullptr) ApplyMenuHotkey(options.menuHotkey);
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

bool MainForm::Create(HINSTANCE instance) {
    instance_ = instance;
    UINT const dpi = SystemDpi();
    icon_.Reset(LoadIconForDpi(instance, IDI_VIGILON, false, dpi));
    smallIcon_.Reset(LoadIconForDpi(instance, IDI_VIGILON, true, dpi));
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon_.Get();
    windowClass.hIconSm = smallIcon_.Get();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) return false;
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
    DisableTimer();
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
    if (window_ == nullptr || ending_ || editing_) return;
    SetTimer(window_, kWatchTimerId, kWatchIntervalMilliseconds, nullptr);
    timerEnabled_ = true;
}

void MainForm::DisableTimer() {
    if (window_ != nullptr) KillTimer(window_, kWatchTimerId);
    timerEnabled_ = false;
}

void MainForm::ShowNotice(std::wstring const& text) { tray_.ShowBalloon(kTip, text); }

void MainForm::LaunchPausedChanged(bool paused) { tray_.SetTip(paused ? kPausedTip : kTip); }

void MainForm::RecordStart(std::wstring const& version) {
    // Settings an administrator's policy holds are named, so that the history explains them.
    std::wstring const policies = PolicySummary(settings_, platform_.registry);
    CheckSettings();
    engine_.SetVersion(version);
    engine_.RecordStart(L"version " + version + L", settings " + settings_.Path() + L", programs " +
                            std::to_wstring(programs_.Count()),
                        policies);
}

void MainForm::OnTimer() {
    // A pass handles events while it waits, so ticks can arrive inside one: they are dropped.
    if (tickBusy_) return;
    RunPass();
}

void MainForm::RunPass() {
    if (!timerEnabled_ || ending_) return;  // no pass runs while the user edits
    if (tickBusy_) {
        passWanted_ = true;
        return;
    }
    tickBusy_ = true;
    do {
        passWanted_ = false;
        engine_.WatchPrograms();
    } while (passWanted_ && timerEnabled_ && !ending_);
    tickBusy_ = false;
}

void MainForm::OnTrayNotification(LPARAM lParam) {
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

void MainForm::OnSize(WPARAM kind) {
    bool const wasMinimised = minimised_;
    minimised_ = kind == SIZE_MINIMIZED;
    // Restored from its taskbar button (after a stop on a missing file): the editor opens afresh.
    if (wasMinimised && kind == SIZE_RESTORED) EditorOpens();
    if (kind != SIZE_MINIMIZED || showingStop_ || ending_) return;
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

void MainForm::OnClose() {
    if (ending_) return;
    // A hidden window cannot be closed by the user: the request comes from another program (the
    // task manager, taskkill, an installer), which wants Vigilon to end.
    if (!IsWindowVisible(window_)) {
        Unload();
        return;
    }
    // Closed by the user (close box, Close on the system menu, Alt+F4) from any visible state: the
    // window is hidden and watching resumes. A window not yet minimised is minimised, which does
    // both (OnSize) and keeps its state for a later stop on a missing file; one that sits
    // minimised on the taskbar gets no size change, so it is hidden here.
    if (!IsIconic(window_)) {
        ShowWindow(window_, SW_MINIMIZE);
        return;
    }
    ShowWindow(window_, SW_HIDE);
    KeepOwnWindowsAbove();
    ResumeAfterEditing();
    engine_.ResumeLaunching();
}

void MainForm::OnEndSession(bool onlyVigilon) {
    // An installer replacing Vigilon's exe (Restart Manager) ends Vigilon alone, as Exit does: the
    // watched programs go on running.
    if (onlyVigilon) {
        Unload();
        return;
    }
    engine_.ClosePrograms();
    platform_.events.ProcessPendingEvents();
    Unload();
}

bool MainForm::SettingsLocked() const { return LoadOptions(settings_, platform_.registry).settingsLocked; }

void MainForm::EditorOpens() {
    editor_.SetReadOnly(SettingsLocked());
    reloadOnActivate_ = true;
}

void MainForm::Configure() {
    // Asked again while the editor is open (a second `configure`, the menu's hot key): brought to
    // the front, and the programs' windows left as the first call left them.
    if (editing_) {
        RestoreMainWindow();
        return;
    }
    StopForEditing();
    DisableTimer();
    engine_.ShowHidePrograms(false);
    RestoreMainWindow();
}

void MainForm::StopForEditing() {
    if (!std::exchange(editing_, true)) engine_.WatchingStopped(L"the editor is open");
}

void MainForm::ResumeAfterEditing() {
    if (!std::exchange(editing_, false)) return;
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
    if (window_ == nullptr || ending_) return;
    // Minimised on the taskbar (a stop on a missing file), the editor covers nothing.
    bool const editor = IsWindowVisible(window_) != FALSE && IsIconic(window_) == FALSE;
    HWND const status = status_.Window();
    bool const statusOpen = status != nullptr && IsWindowVisible(status) != FALSE && IsIconic(status) == FALSE;
    engine_.SetOwnWindowsOpen(editor || statusOpen);
    // Dialogs and boxes owned by a topmost window are topmost too.
    bool const above = engine_.KeepsWindowsOnTop();
    SetOwnTopmost(window_, above && editor);
    SetOwnTopmost(status, above && statusOpen);
}

void MainForm::Unload() {
    if (ending_ || window_ == nullptr) return;
    ending_ = true;
    if (onEnding_) onEnding_();
    DisableTimer();
    if (std::exchange(hotkeyRegistered_, false)) UnregisterHotKey(window_, kMenuHotkeyId);
    engine_.LetGoOfWindows();
    engine_.ShowHidePrograms(true);
    engine_.RecordExit();  // the last line: after the programs shown on the way out
    if (status_.Window() != nullptr) DestroyWindow(status_.Window());
    RestoreMainWindow();
    tray_.Delete();
    // A watch pass that is waiting inside this call sees Ending() and the quit request, and
    // returns without touching the window again.
    DestroyWindow(window_);
}

void MainForm::ShowAbout() {
    ShowAboutDialog(window_, instance_, core_);
    // Coming back from another window of the program reloads the editor.
    editor_.Presenter().OnActivate();
}

void MainForm::ShowOptions() {
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
    // For the program the editor shows, once it is saved; with none, there is nothing to set.
    if (editor_.Presenter().SettingsAvailable()) {
        ShowProgramSettingsDialog(window_, instance_, core_, settings_, programs_, editor_.Presenter().CurrentProgram(),
                                  SettingsLocked());
    }
    editor_.Presenter().OnActivate();
}

void MainForm::OnInitMenuPopup(HMENU menu) {
    UINT const state = editor_.Presenter().SettingsAvailable() ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, kProgramSettingsCommand, MF_BYCOMMAND | state);  // no-op for menus without it
}

void MainForm::OpenHistory() {
    // The system's viewer for the file, or Notepad (by its full path) where .log files have none.
    std::wstring const path = engine_.HistoryPath();
    if (platform_.shell.Execute(FromHwnd(window_), L"open", path, L"", L"", SW_SHOWNORMAL).code <= 32) {
        platform_.shell.StartProgram(L"\"" + SystemFolderPath() + L"\\notepad.exe\" \"" + path + L"\"");
    }
}

WatchEngine::AskedScreenshot MainForm::Screenshot(std::wstring const& name) {
    WatchEngine::AskedScreenshot const asked = engine_.AskScreenshot(name);
    lastAskedScreenshot_ = asked.id;
    return asked;
}

void MainForm::AnswerSettledScreenshots() {
    for (WatchEngine::SettledScreenshot const& settled : engine_.SettledScreenshots()) {
        auto const awaited = std::find_if(awaitedScreenshots_.begin(), awaitedScreenshots_.end(),
                                          [&](AwaitedScreenshot const& a) { return a.id == settled.id; });
        if (awaited == awaitedScreenshots_.end()) continue;
        SendLateAnswer(awaited->caller, window_, EncodeAnswer(ScreenshotAnswerOf(awaited->program, settled.path)));
        awaitedScreenshots_.erase(awaited);
    }
}

void MainForm::Close() { PostMessageW(window_, kRemoteCloseMessage, 0, static_cast<LPARAM>(PrivateMessageToken())); }

void MainForm::Exit() { PostMessageW(window_, kRemoteExitMessage, 0, static_cast<LPARAM>(PrivateMessageToken())); }

void MainForm::OpenEditor() {
    PostMessageW(window_, kRemoteEditorMessage, 0, static_cast<LPARAM>(PrivateMessageToken()));
}

LRESULT MainForm::OnCopyData(HWND sender, COPYDATASTRUCT const* data) {
    if (data == nullptr || data->dwData != kRemoteMessageMark || data->lpData == nullptr || !IsWindow(sender)) {
        return FALSE;
    }
    DWORD senderProcess = 0;
    GetWindowThreadProcessId(sender, &senderProcess);
    DWORD senderSession = 0;
    DWORD ownSession = 0;
    if (!ProcessIdToSessionId(senderProcess, &senderSession) ||
        !ProcessIdToSessionId(GetCurrentProcessId(), &ownSession) || senderSession != ownSession) {
        return FALSE;
    }
    auto const request = DecodeRequest({static_cast<std::uint8_t const*>(data->lpData), data->cbData});
    if (!request) return FALSE;
    RemoteAnswer const now = AnswerRemote(*request, *this);
    if (now.code == kRemoteLater) {
        // A picture is being taken: the caller waits for the answer, which follows once it is done.
        awaitedScreenshots_.push_back({lastAskedScreenshot_, sender, request->program});
        return static_cast<LRESULT>(kRemoteAnswerFollows);
    }
    std::vector<std::uint8_t> answer = EncodeAnswer(now);
    COPYDATASTRUCT reply{kRemoteMessageMark, static_cast<DWORD>(answer.size()), answer.data()};
    DWORD_PTR result = 0;
    // The caller waits for this answer, and handles it at once.
    SendMessageTimeoutW(sender, WM_COPYDATA, reinterpret_cast<WPARAM>(window_), reinterpret_cast<LPARAM>(&reply),
                        SMTO_ABORTIFHUNG, kRemoteAnswerTimeoutMilliseconds, &result);
    return TRUE;
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
        if (wParam == kWatchTimerId) OnTimer();
        if (wParam == kCommandsTimerId && !ending_) {
            engine_.TendCommands();
            AnswerSettledScreenshots();  // also one not done within its limit
            KeepOwnWindowsAbove();  // also for a window kept on top that came since they opened
        }
        return 0;
    case WM_HOTKEY:
        if (wParam == kMenuHotkeyId && !ending_) ShowPopupMenu(true);
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
        if (ending_ || !FromThisProcess(lParam)) return 0;
        RunPass();  // a restart waits for its picture before the window is asked to close
        AnswerSettledScreenshots();
        return 0;
    case kRemoteEditorMessage:
        if (FromThisProcess(lParam) && !ending_) Configure();
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
        if (!ending_) engine_.PlaceWindowsAgain();
        return DefWindowProcW(window_, message, wParam, lParam);
    case WM_WTSSESSION_CHANGE:
        if (!ending_ && SessionNotifications::ScreenCameBack(wParam)) engine_.PlaceWindowsAgain();
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace vigilon
