#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/options.h"
#include "app/settings_file.h"
#include "app/watched_programs.h"
#include "engine/watch_engine.h"
#include "engine/watch_host.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/base_window.h"
#include "platform/win32/session_notifications.h"
#include "ui/escalation_notice.h"
#include "ui/editor_window.h"
#include "ui/main_mode.h"
#include "ui/remote_answers.h"
#include "ui/status_window.h"
#include "ui/tray_commands.h"
#include "ui/tray_icon.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {

// The main window: hidden most of the time, it owns the tray icon and its menu, runs the watch
// timer, and is the configuration editor when shown.
// Besides main_form.cpp, its menus are in main_form_menus.cpp, how it ends in main_form_session.cpp
// and the commands of scripts and other starts in main_form_commands.cpp.
class MainForm final : public BaseWindow<MainForm>, public WatchHost, private RemoteTarget {
public:
    static constexpr wchar_t kClassName[] = L"VigilonMainForm";

    MainForm(Win32Platform& platform, WatchedPrograms& programs, SettingsFile const& settings,
             std::wstring programFolder);

    // Creates the window, hidden, and adds the tray icon.
    bool Create(HINSTANCE instance);

    void SetDescription(std::wstring const& text);
    void SetCaption(std::wstring const& text);
    void StartWatching();
    void StartConfiguring();

    WindowHandle MainWindow() override;
    void ShowMainWindow() override;
    void EnableTimer() override;
    bool Ending() override { return mode_.Ending(); }
    bool Watching() override { return mode_.Watching(); }
    void ShowNotice(std::wstring const& text) override;
    void LaunchPausedChanged(bool paused) override;

    // Adds the start to the event history: the version, the settings file and the program count.
    void RecordStart(std::wstring const& version);

    // Called once, as soon as Vigilon begins to end.
    void SetEndingCallback(std::function<void()> callback) { onEnding_ = std::move(callback); }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class BaseWindow<MainForm>;

    // The window's timers, private messages, hot key and tray tips.
    static constexpr UINT_PTR kWatchTimerId = 1;
    static constexpr UINT_PTR kCommandsTimerId = 2;  // runs whether or not passes do
    static constexpr UINT kWatchIntervalMilliseconds = 1000;
    static constexpr UINT kProcessEndedMessage = WM_APP + 1;    // wParam: the process id
    // The messages that change state carry PrivateMessageToken in lParam: any program can post to this
    // window, but only this process knows the token.
    static constexpr UINT kWindowAnsweredMessage = WM_APP + 2;  // wParam: the window; lParam: the token, +1 when it answered
    static constexpr UINT kRemoteCloseMessage = WM_APP + 3;     // a script's /close, done after its answer has gone
    static constexpr UINT kRemoteExitMessage = WM_APP + 4;      // a script's /exit, likewise
    static constexpr UINT kPlacementDoneMessage = WM_APP + 5;   // a window's placement has ended; lParam: the token
    static constexpr UINT kScreenshotDoneMessage = WM_APP + 6;  // a picture is done (a restart or a script waits for it); lParam: the token
    static constexpr UINT kRemoteEditorMessage = WM_APP + 7;    // another start's `configure`, done after its answer has gone
    static constexpr int kMenuHotkeyId = 1;
    static constexpr wchar_t kTip[] = L"Vigilon";
    static constexpr wchar_t kPausedTip[] = L"Vigilon - launching paused";

    // The window's menu bar, and the tray icon's menu.
    static HMENU CreateMenuBar();
    static HMENU CreateTrayMenu();
    void OnCreate();
    void LayOut();
    // The window's icons drawn for `dpi`, and the tray's for the taskbar's.
    void ApplyIcons(UINT dpi);
    // Runs a pass now, or right after the one under way; not while the timer is stopped.
    void RunPass();
    void OnTrayNotification(LPARAM lParam);
    // The tray's menu, at the mouse pointer; or, opened by the hot key from any program, at the
    // centre of the screen the pointer is on.
    void ShowPopupMenu(bool atCentre = false);
    // MenuHotkey: registered as the options say; a key another program holds is said in the
    // history and a notice (a value that cannot be used is a problem of the settings file).
    void ApplyMenuHotkey(std::wstring const& text);
    // Vigilon's own windows (the editor, the Status window, and the dialogs and boxes they own)
    // stand above the windows kept on top while they are open, and nothing is put back in its
    // place over them; closed, they take their place among the others again.
    void KeepOwnWindowsAbove();
    // Shows, updates or closes the notice of the countdown, as the engine has it now.
    void ShowEscalationNotice();
    void OnCommand(UINT id);
    void RunPopupCommand(PopupCommand command);
    void OnSize(WPARAM kind);
    void OnActivate(WPARAM state);
    void OnClose();
    // The session ends: the watched programs are asked to close and Vigilon ends; or, when
    // `onlyVigilon` (a file of Vigilon's is being replaced), Vigilon ends as Exit does.
    void OnEndSession(bool onlyVigilon);
    void Configure();
    // The user begins or ends editing the list: the passes stop or run again, and the history
    // says so once each time.
    void StopForEditing();
    void ResumeAfterEditing();
    // Checks the settings file as it is now, and hands its problems to the engine, which says new ones.
    void CheckSettings();
    // Whether an administrator locks the settings, read afresh: an administrator's policy may have
    // changed since. The one place that decides it for the editor, Options and the Settings dialog.
    bool SettingsLocked() const;
    // The editor opens, whichever way its window came on screen (Configure, a start in configuring
    // mode, a stop on a missing file, restored from its taskbar button): read-only while the
    // settings are locked, and reloaded once the window is active.
    void EditorOpens();
    void RestoreMainWindow();
    void Unload();
    void ShowAbout();
    void ShowOptions();
    // The Settings dialog for the program the editor shows.
    void ShowProgramSettings();
    // The Program menu's Settings... is greyed while the program shown is not saved yet.
    void OnInitMenuPopup(HMENU menu);
    void ApplyOptions(Options const& options);
    void OpenHistory();
    // A script's command from another copy, in WM_COPYDATA: answered only for a window of this
    // user session, and only when it has the command's shape.
    LRESULT OnCopyData(HWND sender, COPYDATASTRUCT const* data);

    StatusSnapshot Snapshot() override { return engine_.Snapshot(); }
    void Pause() override { engine_.PauseLaunching(); }
    void Resume() override { engine_.LaunchPrograms(); }
    WatchEngine::RestartAnswer Restart(std::wstring const& name) override { return engine_.RestartProgram(name); }
    StartReply Start(std::wstring const& name) override { return engine_.StartProgram(name); }
    WatchEngine::AskedScreenshot Screenshot(std::wstring const& name) override;
    // Answers the scripts whose pictures are done.
    void AnswerSettledScreenshots();
    WatchEngine::AskedCheck Check(std::wstring const& name) override;
    WatchEngine::AskedAlertTest AlertTest() override;
    // Answers the scripts waiting for /alert test whose message the service has answered.
    void AnswerSettledAlertTests();
    // Answers the scripts whose checks have ended; forgets those whose command is gone.
    void AnswerSettledChecks();
    // Closing and ending wait on other programs: they are done once the answer has gone.
    void Close() override;
    void Exit() override;
    void OpenEditor() override;
    bool CancelCountdown() override {
        bool const cancelled = engine_.CancelEscalation(L"/cancel");
        ShowEscalationNotice();  // closed at once, not at the next second
        return cancelled;
    }

    Win32Platform& platform_;
    Platform core_;
    SettingsFile const& settings_;
    WatchedPrograms& programs_;
    WatchEngine engine_;
    EditorWindow editor_;
    StatusWindow status_{engine_};
    HINSTANCE instance_ = nullptr;
    // The countdown before a logoff, restart or shutdown, as the engine decides it (its Cancel calls back).
    EscalationNoticeWindow escalationNotice_{nullptr, [this] {
        engine_.CancelEscalation(L"Cancel");
        ShowEscalationNotice();
    }};
    TrayIcon tray_;
    SessionNotifications session_;  // tells the window of session changes
    UniqueIcon icon_;
    UniqueIcon smallIcon_;
    UniqueIcon windowIcon_;  // the window's own, drawn for its monitor's DPI
    UniqueIcon windowSmallIcon_;
    UniqueIcon trayIcon_;    // drawn for the taskbar's DPI
    UniqueMenu popup_;
    UINT taskbarCreated_ = 0;
    HWND lastFocus_ = nullptr;
    bool reloadOnActivate_ = false;  // the editor reloads when the window next becomes active
    bool minimised_ = false;
    MainMode mode_;
    bool showingStop_ = false;
    Options applied_;             // the options in force, which the history's `options` line compares with
    std::function<void()> onEnding_;
    // Scripts waiting for a picture or a check: its id, the command's window, and the name as it was typed.
    struct AwaitedAnswer {
        std::uint32_t id;
        HWND caller;
        std::wstring program;
    };
    std::vector<AwaitedAnswer> awaitedScreenshots_;
    std::uint32_t lastAskedScreenshot_ = 0;  // the picture the command being answered began
    std::vector<AwaitedAnswer> awaitedChecks_;
    std::uint32_t lastAskedCheck_ = 0;  // the check the command being answered began
    std::vector<AwaitedAnswer> awaitedAlertTests_;  // `program` holds AlertUrl's site
    WatchEngine::AskedAlertTest lastAlertTest_;      // the test the command being answered began
    std::wstring menuHotkey_;     // MenuHotkey as registered, or as said not to be
    bool hotkeyRegistered_ = false;
};

}  // namespace vigilon
