#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "app/logon_start.h"
#include "app/remote_command.h"
#include "app/settings.h"
#include "app/settings_validation.h"
#include "app/start_mode.h"
#include "app/watched_programs.h"
#include "engine/outputs/event_history.h"
#include "platform/win32/module_path.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_event_log.h"
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_owners.h"
#include "platform/win32/win32_profile_store.h"
#include "platform/win32/win32_registry.h"
#include "support/application_title.h"
#include "support/file_utils.h"
#include "support/message.h"
#include "ui/console_output.h"
#include "ui/main_form.h"
#include "ui/remote_client.h"
#include "ui/instance_logic.h"
#include "ui/single_instance.h"
#include "version.h"

namespace vigilon {
namespace {

int const kSettingsReadAttempts = 10;
DWORD const kSettingsReadPauseMilliseconds = 300;
// How long a start that gives way waits for the other copy's window: a copy in its first second
// holds the mutex before its window is made.
DWORD const kInstanceWindowWaitMilliseconds = 3000;

// The folder that holds this executable, with a trailing backslash.
std::wstring ProgramFolder() {
    std::wstring const path = ExecutablePath();
    return path.substr(0, path.rfind(L'\\') + 1);
}

// Loads the settings, trying again for a moment while the file cannot be read: a lock held by a
// backup or synchronising program usually passes within moments. When it still cannot be read,
// the user is told and Unreadable comes back.
SettingsLoad LoadSettingsForStart(Win32Platform& platform, SettingsFile const& settings, WatchedPrograms& programs) {
    auto const warn = [&](std::wstring const& text, std::uint32_t buttons = 0) {
        return ShowMessage(platform.system, text, kMbIconExclamation | buttons, kApplicationTitle);
    };
    SettingsLoad load = LoadStartupSettings(settings, platform.registry, programs);
    for (int attempt = 0; load == SettingsLoad::Unreadable && attempt < kSettingsReadAttempts; ++attempt) {
        Sleep(kSettingsReadPauseMilliseconds);
        load = LoadStartupSettings(settings, platform.registry, programs);
    }
    if (load == SettingsLoad::Unreadable) warn(UnreadableSettingsMessage(settings.Path()));
    if (load == SettingsLoad::BackupFound) {
        // A save cut short: the backup is offered, and a first run is never made of it.
        if (warn(BackupFoundMessage(settings), MB_YESNO) != IDYES) return load;
        if (!RestoreSettingsBackup(settings)) {
            warn(UnsavedSettingsMessage(settings.Path()));
            return load;
        }
        load = LoadStartupSettings(settings, platform.registry, programs);
    }
    if (load == SettingsLoad::UnusableCount) warn(UnusableCountMessage(settings));
    return load;
}

// /importsettings "<path>": the installer's preset vigilon.ini, copied in when there is none.
int ImportSettings(std::wstring const& source) {
    std::wstring const target = ProgramFolder() + L"vigilon.ini";
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        PrintToConsole(target + L" is there already: it is kept.\r\n");
        return 0;
    }
    if (source.empty() || !CopyFileW(source.c_str(), target.c_str(), TRUE)) {
        PrintToConsole(L"The settings " + source + L" could not be copied to " + target + L" (error " +
                       std::to_wstring(GetLastError()) + L").\r\n");
        return 1;
    }
    // Copied files keep their read-only attribute: the editor must be able to save.
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    PrintToConsole(L"The settings " + source + L" are now " + target + L".\r\n");
    return 0;
}

// /validate [path]: the file checked and its problems printed, nothing started. A relative path is
// taken from the current folder, as the administrator typed it; no path is the file beside the exe.
int ValidateSettings(std::wstring const& path) {
    Win32ProfileStore store;
    Win32FileSystem files;
    SettingsFile const file(store, path.empty() ? ProgramFolder() + L"vigilon.ini" : files.LongFullPath(path));
    ValidationResult const result = ValidateSettingsFile(file);
    PrintToConsole(result.text);
    return result.exitCode;
}

// /registereventsource and /unregistereventsource: done, and said, on the console.
int RegisterEventSourceAsAsked(bool registering) {
    std::wstring const exe = ExecutablePath();
    long const result = registering ? RegisterAsEventSource(exe) : UnregisterAsEventSource();
    if (result == ERROR_SUCCESS) {
        PrintToConsole(registering ? L"The Application event log now takes the messages of the source "
                                     L"\"Vigilon\" from " + exe + L".\r\n"
                                   : std::wstring(L"The event source \"Vigilon\" is no longer registered.\r\n"));
        return 0;
    }
    PrintToConsole(std::wstring(L"The event source could not be ") + (registering ? L"registered" : L"removed") +
                   (result == ERROR_ACCESS_DENIED ? L": it needs an administrator. Run it from an elevated prompt."
                                                  : L": error " + std::to_wstring(result) + L".") +
                   L"\r\n");
    return 1;
}

// A start that gives way to another copy says so, once: a line in the history, and a message when
// the other copy's window cannot be found (it runs elevated or as another account), so that the
// start does not seem lost. Ends the start with 0, as giving way is no failure.
int GiveWay(InstanceClaim claim) {
    bool const windowSeen =
        SingleInstance::WaitForWindow(MainForm::kClassName, false, kInstanceWindowWaitMilliseconds) != nullptr;
    Win32FileSystem files;
    Win32EventLoop clock;
    EventHistory(files, clock, ProgramFolder() + L"vigilon.log")
        .Record(L"gave way", L"", GaveWayDetails(claim, windowSeen));
    std::wstring const notice = GaveWayNotice(claim, windowSeen);
    if (!notice.empty()) {
        MessageBoxW(nullptr, notice.c_str(), kApplicationTitle, MB_OK | MB_ICONINFORMATION);
    }
    return 0;
}

}  // namespace
}  // namespace vigilon

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace vigilon;
    // Before anything else can load a library: DLLs come from the system folder only, never from
    // the exe's folder or the current directory, which the user (or anyone who can write there)
    // may have filled.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    std::wstring_view const arguments = ArgumentsOf(GetCommandLineW());
    // A script's command to the running copy: answered, and nothing else is done.
    if (auto const remote = RemoteRequestFromArguments(arguments)) return RunRemoteCommand(*remote);
    // A typo that reads as a switch is said, rather than taken for a start that gives way silently;
    // with no copy running, any other command line starts Vigilon as it always did.
    if (std::wstring const misuse = RemoteMisuse(arguments); !misuse.empty() && SingleInstance::Running()) {
        PrintToConsole(misuse);
        return static_cast<int>(kRemoteUnknown);
    }
    StartMode const request = DecideStartMode(arguments, false);
    if (request == StartMode::StartAtLogon) {
        // As ticking the box: this copy's Run value, replacing another copy's, enabled in Task Manager.
        Win32Registry registry;
        return SetStartAtLogon(registry, ExecutablePath()) ? 0 : 1;
    }
    if (request == StartMode::Unregister || request == StartMode::Register) {
        // The installer's requests, answered whether or not another copy is running.
        Win32Registry registry;
        Win32FileSystem files;
        std::wstring const exe = ExecutablePath();
        bool const done = request == StartMode::Unregister ? ForgetStartAtLogon(registry, exe)
                                                           : SetStartAtLogonIfMissing(registry, files, exe);
        return done ? 0 : 1;
    }
    if (request == StartMode::ImportSettings) return ImportSettings(PathAfterSwitch(arguments));
    if (request == StartMode::Validate) return ValidateSettings(PathAfterSwitch(arguments));
    if (request == StartMode::RegisterEventSource || request == StartMode::UnregisterEventSource) {
        return RegisterEventSourceAsAsked(request == StartMode::RegisterEventSource);
    }
    SingleInstance const instanceGuard;
    if (instanceGuard.AlreadyRunning()) {
        // A way in on a covered kiosk: `configure` opens the running copy's editor, above every
        // window it keeps on top. Where that copy cannot be asked, the start gives way as any other.
        if (DecideStartMode(arguments, false) == StartMode::Configure) {
            int const code = RunRemoteCommand({RemoteVerb::Configure, {}});
            if (code == 0) return 0;
            GiveWay(instanceGuard.Claim());
            return code;
        }
        return GiveWay(instanceGuard.Claim());
    }

    // COM for the shell's dialogs, for the life of the user-interface thread.
    ComScope const com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    Win32Platform platform;
    std::wstring const folder = ProgramFolder();
    ChangeDirectory(platform.files, folder);
    SettingsFile const settings(platform.profile, folder + L"vigilon.ini");
    WatchedPrograms programs;
    SettingsLoad const load = LoadSettingsForStart(platform, settings, programs);
    if (load == SettingsLoad::Unreadable || load == SettingsLoad::UnusableCount || load == SettingsLoad::BackupFound) {
        return 1;
    }
    bool const firstRun = load == SettingsLoad::FirstRun;

    MainForm form(platform, programs, settings, folder);
    if (!form.Create(instance)) return 1;
    // A start while this copy tears its windows down waits for it instead of ending at once.
    form.SetEndingCallback([&instanceGuard] { instanceGuard.Ending(); });
    form.SetDescription(L"Vigilon\r\nLaunches, Hides and Closes programs that should run all the time.");
    form.SetCaption(L"Watching programs - so you don't have to");
    form.RecordStart(VIGILON_VERSION_TEXT_W);
    // Windows starts Vigilon again, watching, after Restart Manager closed it for an installer, or
    // after it crashed or hung having run a minute. Not after a reboot: starting at logon is the
    // user's choice in Options. A first start has nothing saved to watch yet.
    if (!firstRun) RegisterApplicationRestart(kRestartArguments, RESTART_NO_REBOOT);
    if (DecideStartMode(arguments, firstRun) == StartMode::Configure) {
        form.StartConfiguring();
    } else {
        form.StartWatching();
    }

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) platform.events.Dispatch(message);
    return static_cast<int>(message.wParam);
}
