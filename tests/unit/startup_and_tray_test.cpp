#include <gtest/gtest.h>

#include <functional>

#include "app/start_mode.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_shell.h"
#include "support/folders.h"
#include "ui/instance_logic.h"
#include "ui/main_mode.h"
#include "ui/tray_commands.h"

namespace vigilon {
namespace {

// A mutex made by a copy that runs elevated or as another account cannot be opened: that is
// another copy too, never a first start.
TEST(SingleInstance, AMutexRefusedCountsAsAnotherCopy) {
    constexpr std::uint32_t kAccessDenied = 5;
    constexpr std::uint32_t kAlreadyExists = 183;
    EXPECT_EQ(ClaimFromMutex(true, 0), InstanceClaim::First);
    EXPECT_EQ(ClaimFromMutex(true, kAlreadyExists), InstanceClaim::Taken);
    EXPECT_EQ(ClaimFromMutex(false, kAccessDenied), InstanceClaim::Refused);
    EXPECT_EQ(ClaimFromMutex(false, 0), InstanceClaim::Refused);
    // The start that gives way says so; to the user only when the other copy's window is not there.
    EXPECT_NE(GaveWayDetails(InstanceClaim::Refused, false).find(L"as an administrator or as another user"),
              std::wstring::npos);
    EXPECT_EQ(GaveWayNotice(InstanceClaim::Taken, true), L"");
    EXPECT_NE(GaveWayNotice(InstanceClaim::Refused, false), L"");
}

TEST(StartMode, ConfigureAnywhereInAnyCaseOpensTheEditor) {
    EXPECT_EQ(DecideStartMode(L"Configure", false), StartMode::Configure);
    EXPECT_EQ(DecideStartMode(L"/CONFIGURE", false), StartMode::Configure);
    EXPECT_EQ(DecideStartMode(L"reconfigured", false), StartMode::Configure);
    EXPECT_EQ(DecideStartMode(L"watch", true), StartMode::Watch);
    EXPECT_EQ(DecideStartMode(L"", true), StartMode::Configure);
    EXPECT_EQ(DecideStartMode(L"", false), StartMode::Watch);
    EXPECT_EQ(DecideStartMode(L"/UnRegister ", false), StartMode::Unregister);
    EXPECT_EQ(DecideStartMode(L"/register", true), StartMode::Register);
    EXPECT_EQ(DecideStartMode(L"/StartAtLogon", true), StartMode::StartAtLogon);
    EXPECT_EQ(DecideStartMode(L"/RegisterEventSource", false), StartMode::RegisterEventSource);
    EXPECT_EQ(DecideStartMode(L"/unregistereventsource", false), StartMode::UnregisterEventSource);
    EXPECT_EQ(DecideStartMode(L"/ImportSettings \"\\\\server\\share\\vigilon.ini\"", false), StartMode::ImportSettings);
    EXPECT_EQ(PathAfterSwitch(L"/importsettings \"\\\\server\\share\\vigilon.ini\" "), L"\\\\server\\share\\vigilon.ini");
    // An administrator's check of a file, whether it names one or not, and wherever "configure" is.
    EXPECT_EQ(DecideStartMode(L"/Validate", false), StartMode::Validate);
    EXPECT_EQ(DecideStartMode(L"/validate \"C:\\configure\\vigilon.ini\"", true), StartMode::Validate);
    EXPECT_EQ(PathAfterSwitch(L"/validate   C:\\My Files\\vigilon.ini "), L"C:\\My Files\\vigilon.ini");
    EXPECT_EQ(PathAfterSwitch(L"/validate"), L"");
    EXPECT_EQ(DecideStartMode(L"/validated", false), StartMode::Watch);
    EXPECT_EQ(DecideStartMode(L"/importsettingsx", false), StartMode::Watch);
    EXPECT_EQ(DecideStartMode(L"/unregister configure", false), StartMode::Configure);
    // Windows' restart after a crash or an installer watches, even on a first start.
    EXPECT_EQ(DecideStartMode(kRestartArguments, true), StartMode::Watch);
}

TEST(StartMode, ArgumentsFollowTheProgramName) {
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\V\\vigilon.exe\"  configure"), L"configure");
    EXPECT_EQ(ArgumentsOf(L"vigilon.exe /x y"), L"/x y");
    EXPECT_EQ(ArgumentsOf(L"vigilon.exe"), L"");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\V\\vigilon.exe\""), L"");
    EXPECT_EQ(ArgumentsOf(L"\"unterminated configure"), L"");
    EXPECT_EQ(ArgumentsOf(L""), L"");
}

TEST(StartMode, VeryLongArgumentsAreReadWhole) {
    std::wstring const padding(100'000, L'x');
    EXPECT_EQ(DecideStartMode(ArgumentsOf(L"vigilon.exe " + padding + L"configure"), false), StartMode::Configure);
    EXPECT_EQ(DecideStartMode(ArgumentsOf(L"vigilon.exe " + padding), true), StartMode::Watch);
}

TEST(TrayNotification, ActsOnlyWhileTheWindowIsHidden) {
    EXPECT_EQ(DecodeTrayNotification(false, 0x203), TrayAction::ShowHidePrograms);
    EXPECT_EQ(DecodeTrayNotification(false, 0x204), TrayAction::PopupMenu);
    for (std::uint32_t message : {0x200u, 0x201u, 0x202u, 0x205u, 0x206u, 0x207u}) {
        EXPECT_EQ(DecodeTrayNotification(false, message), TrayAction::None) << message;
    }
    EXPECT_EQ(DecodeTrayNotification(true, 0x203), TrayAction::None);
    EXPECT_EQ(DecodeTrayNotification(true, 0x204), TrayAction::None);
}

TEST(TrayMenu, EachCommandIsFoundFromItsIdAndNothingElseIs) {
    std::vector<PopupCommand> order;
    for (PopupItem const& item : PopupMenuItems()) {
        order.push_back(item.command);
        auto const index = static_cast<std::uint32_t>(item.command);
        auto const expected = item.command == PopupCommand::Separator ? std::nullopt : std::optional(item.command);
        EXPECT_EQ(PopupCommandFromId(kPopupCommandBase + index), expected) << index;
    }
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[1], PopupCommand::Status);  // right after Show/Hide Programs
    EXPECT_EQ(PopupCommandFromId(kPopupCommandBase + 8), std::nullopt);  // an index never used
    EXPECT_EQ(PopupCommandFromId(kFileExitCommand), std::nullopt);
}

TEST(Folders, SpecialFolderGetsOneBackslash) {
    testing::FakeShell shell;
    EXPECT_EQ(GetSpecialFolderPath(shell, kCsidlProfile), L"C:\\Users\\me\\");
    EXPECT_EQ(GetSpecialFolderPath(shell, 9999), L"");
}

TEST(Folders, BrowseStripsOneBackslashAndRestoresTheDirectory) {
    testing::FakeShell shell;
    testing::FakeFileSystem files;
    files.AddFolder(L"C:\\");
    files.AddFolder(L"D:\\Browsed\\");
    shell.browseResult = L"D:\\picked.exe";
    shell.onBrowse = [&] { files.SetWorkingDirectory(L"D:\\Browsed\\"); };  // as the shell's dialog may
    EXPECT_EQ(BrowseForFolder(shell, files, 0, L"Prompt", L"C:\\Tools\\", true), L"D:\\picked.exe");
    EXPECT_EQ(BrowseForFolder(shell, files, 0, L"Prompt", L"", true), L"D:\\picked.exe");
    EXPECT_EQ(shell.browseInitialPaths, (std::vector<std::wstring>{L"C:\\Tools", L""}));
    EXPECT_EQ(StripBackslash(L"C:\\"), L"C:");
    EXPECT_EQ(StripBackslash(L"C:\\\\"), L"C:\\");
    EXPECT_EQ(files.currentDirectory, L"C:\\");
}

// A watched program's exit asks for the timer at any moment: it must not start passes while the
// editor is open, nor once Vigilon ends; and the history says the editor's opening once.
TEST(MainMode, NoPassRunsWhileTheEditorIsOpenOrOnceVigilonEnds) {
    MainMode mode;
    int passes = 0;
    auto const pass = [&] { ++passes; };
    mode.RunPass(pass);
    EXPECT_EQ(passes, 0);  // not yet watching
    EXPECT_TRUE(mode.StartWatching());
    mode.RunPass(pass);
    EXPECT_EQ(passes, 1);
    EXPECT_TRUE(mode.OpenEditor());
    EXPECT_FALSE(mode.OpenEditor());
    EXPECT_FALSE(mode.StartWatching());
    mode.RunPass(pass);
    mode.Tick(pass);
    EXPECT_EQ(passes, 1);
    EXPECT_TRUE(mode.CloseEditor());
    EXPECT_FALSE(mode.CloseEditor());
    EXPECT_TRUE(mode.StartWatching());
    EXPECT_TRUE(mode.End());
    EXPECT_FALSE(mode.End());
    EXPECT_FALSE(mode.StartWatching());
    EXPECT_FALSE(mode.OpenEditor());
    mode.RunPass(pass);
    EXPECT_EQ(passes, 1);
    EXPECT_TRUE(mode.Ending());
}

// A pass handles messages while it waits: a tick inside it is dropped, an ended program's request
// runs one more pass right after it, and none runs once Vigilon begins to end.
TEST(MainMode, ATickDuringAPassIsDroppedAndAPassAskedForRunsOnceAfterIt) {
    MainMode mode;
    mode.StartWatching();
    int passes = 0;
    std::function<void()> inside;  // what happens while the first pass waits
    auto const pass = [&] {
        if (++passes == 1) inside();
    };
    inside = [&] { mode.Tick(pass); };
    mode.Tick(pass);
    EXPECT_EQ(passes, 1);
    passes = 0;
    inside = [&] {
        mode.RunPass(pass);
        mode.RunPass(pass);
    };
    mode.Tick(pass);
    EXPECT_EQ(passes, 2);
    passes = 0;
    inside = [&] {
        mode.RunPass(pass);
        mode.End();
    };
    mode.RunPass(pass);
    EXPECT_EQ(passes, 1);
}

}  // namespace
}  // namespace vigilon
