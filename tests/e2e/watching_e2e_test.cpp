#include "e2e_fixture.h"

#include <algorithm>

namespace vigilon::e2e {
namespace {

bool Hidden(HWND window) { return window != nullptr && !IsWindowVisible(window); }
bool Shown(HWND window) { return window != nullptr && IsWindowVisible(window); }

TEST_F(VigilonTest, FirstStartWithoutSettingsOpensTheEditorAndLaunchesNothing) {
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return Shown(main_); }));
    wchar_t caption[128] = L"";
    GetWindowTextW(main_, caption, 128);
    EXPECT_STREQ(caption, kMainCaption);
    EXPECT_TRUE(HoldsFor([&] { return FindMessageBox(L"Vigilon") == nullptr; }, 2.5));
}

TEST_F(VigilonTest, KeepsAProgramRunningAndOutOfTheWay) {
    std::wstring const helper = AddHelper(L"Tools\\notes.exe", Caption(L"Notes"));
    WriteIni({{L"Notes", Caption(L"notes"), helper, L"", L"-a", L"-z"}});
    StartVigilon();
    EXPECT_FALSE(IsWindowVisible(main_));

    // Launched minimised in its own folder, found, and hidden by a later pass.
    ASSERT_TRUE(WaitUntil([&] { return !RecordOf(helper).starts.empty(); }));
    StartRecord const start = RecordOf(helper).starts[0];
    EXPECT_EQ(start.showCommand, SW_MINIMIZE);
    EXPECT_EQ(start.directory, FolderOf(helper));
    EXPECT_NE(start.commandLine.find(L" -a  -z"), std::wstring::npos) << start.commandLine;
    ASSERT_TRUE(WaitUntil([&] { return HiddenByVigilon(L"Notes"); }));
    HWND const window = WindowOf(Caption(L"Notes"));

    // A tray double-click shows it; minimising hides it again; a double-click shows it again.
    SendTrayNotification(main_, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return Shown(window) && !IsIconic(window); }))
        << "visible " << IsWindowVisible(window) << ", minimised " << IsIconic(window);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));  // and brought to the front
    Minimise(window);
    ASSERT_TRUE(WaitUntil([&] { return Hidden(window); }));
    SendTrayNotification(main_, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return Shown(window); }));
    SendTrayNotification(main_, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return Hidden(window); }));

    // Started again after it exits.
    Close(window);
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(helper).starts.size() == 2; }));
    EXPECT_EQ(RecordOf(helper).closes, 1);
    EXPECT_TRUE(FindMessageBox(L"Vigilon") == nullptr);
}

TEST_F(VigilonTest, AProgramThatEndsIsStartedAgainBeforeTheNextTick) {
    std::wstring const helper = AddHelper(L"r.exe", Caption(L"Relaunch"));
    WriteIni({{L"Relaunch", Caption(L"Relaunch"), helper}});
    StartVigilon();
    std::wstring const log = Path(L"vigilon.log");
    auto const hidings = [&] {
        std::vector<std::string> const events = HistoryEvents(log, "Relaunch");
        return std::count(events.begin(), events.end(), "hidden");
    };
    for (int round = 1; round <= 8; ++round) {
        // Found and hidden by Vigilon: started and running, not just opening its window.
        ASSERT_TRUE(WaitUntil([&] { return hidings() == round; }));
        Close(WindowOf(Caption(L"Relaunch")));
        ASSERT_TRUE(WaitUntil([&] { return RecordOf(helper).starts.size() == static_cast<std::size_t>(round) + 1; }));
    }
    // Vigilon waits on the program's process, so each end is seen at once; the one-second tick
    // alone would start it again about a second after its end. Typically 30 to 150 ms here:
    // the bound leaves a wide margin for a busy machine.
    Record const record = RecordOf(helper);
    ASSERT_EQ(record.exits.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_LT(record.starts[i + 1].time - record.exits[i], 500) << "round " << i + 1;
    }
}

TEST_F(VigilonTest, CloseProgramsPausesLaunchingUntilLaunchPrograms) {
    std::wstring const helper = AddHelper(L"a.exe", Caption(L"Alpha"));
    WriteIni({{L"Alpha", Caption(L"Alpha"), helper}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return HiddenByVigilon(L"Alpha"); }));

    SendMenuCommand(main_, kCloseProgramsCommand);
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(Caption(L"Alpha")) == nullptr; }));
    EXPECT_EQ(RecordOf(helper).closes, 1);
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(helper).starts.size() == 1; }, 3));

    SendMenuCommand(main_, kLaunchProgramsCommand);
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(helper).starts.size() == 2; }));
}

TEST_F(VigilonTest, MissingExecutableIsReportedAndPausesLaunching) {
    std::wstring const missing = Path(L"missing.exe");
    std::wstring const helper = AddHelper(L"b.exe", Caption(L"Beta"));
    WriteIni({{L"Missing", Caption(L"Missing"), missing}, {L"Beta", Caption(L"Beta"), helper}});
    StartVigilon();
    std::wstring text;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon", &text)) != nullptr; }));
    EXPECT_EQ(text, L"Executable: " + missing + L" is not a valid file.");
    PressOk(box);
    ASSERT_TRUE(WaitUntil([&] { return Shown(main_); }));
    EXPECT_TRUE(IsIconic(main_));
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(helper).starts.empty() && !FindMessageBox(L"Vigilon"); }, 2.5));

    // Closed from its taskbar button while minimised: hidden, and launching resumes, so the next
    // pass reports the missing file again.
    PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return Hidden(main_); }));
    EXPECT_TRUE(WaitUntil([&] { return FindMessageBox(L"Vigilon") != nullptr; }));
}

TEST_F(VigilonTest, ACommandWithABackslashAtTheEndQuotesOrBlanksReachesTheProgramUnchanged) {
    std::vector<std::wstring> const commands{L"C:\\Data\\", L"say \"hi\" twice", L"D:\\My Data\\a  b.txt"};
    std::vector<IniProgram> ini;
    std::vector<std::wstring> helpers;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        std::wstring const name = L"Arg" + std::to_wstring(i);
        helpers.push_back(AddHelper(name + L".exe", Caption(name)));
        ini.push_back({name, Caption(name), helpers.back(), commands[i]});
    }
    WriteIni(ini);
    StartVigilon();
    for (std::size_t i = 0; i < commands.size(); ++i) {
        ASSERT_TRUE(WaitUntil([&] { return !RecordOf(helpers[i]).starts.empty(); })) << i;
        EXPECT_TRUE(WaitUntil([&] { return RecordOf(helpers[i]).starts[0].arguments == std::vector{commands[i]}; }))
            << RecordOf(helpers[i]).starts[0].commandLine;
    }
}

TEST_F(VigilonTest, StartsTheJarProgramInTheJarsFolderAndDeletesItsMarker) {
    std::wstring const javaw = AddHelper(L"Java\\bin\\javaw.exe", Caption(L"Quorvault V3.2 - Server"));
    std::wstring const jarFolder = Path(L"Q");
    CreateDirectoryW(jarFolder.c_str(), nullptr);
    WriteTextFile(jarFolder + L"\\quorvault.jar", L"");
    std::wstring const dataFolder = Path(L"Data");
    CreateDirectoryW(dataFolder.c_str(), nullptr);
    WriteTextFile(dataFolder + L"\\_quorvault_.run", L"");
    WriteIni({{L"Quorvault", Caption(L"Quorvault V3.2 - "), Path(L"Java\\bin"), jarFolder, L"-jar -Xmx384m",
               dataFolder}});
    StartVigilon();

    ASSERT_TRUE(WaitUntil([&] { return !RecordOf(javaw).starts.empty(); }));
    StartRecord const start = RecordOf(javaw).starts[0];
    EXPECT_NE(start.commandLine.find(L"javaw.exe"), std::wstring::npos);
    std::wstring const parameters = L" -jar -Xmx384m \"" + jarFolder + L"\\quorvault.jar\" " + dataFolder;
    EXPECT_NE(start.commandLine.find(parameters), std::wstring::npos) << start.commandLine;
    EXPECT_EQ(start.directory, jarFolder);
    EXPECT_FALSE(FileExistsAt(dataFolder + L"\\_quorvault_.run"));
}

TEST_F(VigilonTest, JarMarkerWithoutPostfixIsDeletedFromTheProfileFolder) {
    wchar_t profile[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
    std::wstring const marker = std::wstring(profile) + L"\\_quorvault_.run";
    WriteTextFile(marker, L"");
    std::wstring const javaw = AddHelper(L"J\\javaw.exe", Caption(L"Quorvault V3.2 - P"));
    WriteTextFile(Path(L"J\\quorvault.jar"), L"");
    WriteIni({{L"Quorvault", Caption(L"Quorvault V3.2 - "), Path(L"J\\javaw.exe"), Path(L"J"), L"-jar"}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return !RecordOf(javaw).starts.empty(); }));
    EXPECT_FALSE(FileExistsAt(marker));
    DeleteFileW(marker.c_str());
}

TEST_F(VigilonTest, SecondInstanceEndsSilently) {
    WriteIni({{L"Nothing", Caption(L"Nothing"), L""}});
    StartVigilon(L"configure");
    Process second;
    ASSERT_TRUE(second.Start(exe_, L"configure", L"C:\\"));
    EXPECT_EQ(second.WaitForExit(20), 0);
    int mainWindows = 0;
    for (WindowInfo const& w : ListWindows()) mainWindows += w.className == L"VigilonMainForm";
    EXPECT_EQ(mainWindows, 1);
}

TEST_F(VigilonTest, ExitLeavesProgramsRunningAndVisibleAndRemovesTheIcon) {
    std::wstring const helper = AddHelper(L"g.exe", Caption(L"Gamma"));
    WriteIni({{L"Gamma", Caption(L"Gamma"), helper}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return HiddenByVigilon(L"Gamma"); }));
    EXPECT_TRUE(TrayIconPresent(main_));
    SendMenuCommand(main_, kPopupExitCommand);
    EXPECT_EQ(vigilon_.WaitForExit(15), 0);
    // Shown by a request handed over without waiting: it takes effect a moment later.
    EXPECT_TRUE(WaitUntil([&] { return Shown(WindowOf(Caption(L"Gamma"))); }));
    EXPECT_TRUE(WaitUntil([&] { return !TrayIconPresent(main_); }));
    EXPECT_EQ(RecordOf(helper).closes, 0);
}

TEST_F(VigilonTest, AStartRightAfterExitWaitsForTheEndingCopyAndComesUp) {
    std::wstring const helper = AddHelper(L"g.exe", Caption(L"Gamma"));
    WriteIni({{L"Gamma", Caption(L"Gamma"), helper}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return HiddenByVigilon(L"Gamma"); }));
    SendMenuCommand(main_, kPopupExitCommand);
    // Started again at once, while the first copy still tears its windows down.
    Process again;
    ASSERT_TRUE(again.Start(exe_, L"", L"C:\\"));
    // The first copy ends within 10 s: well under one with unmanaged windows, about 4 with Wine's
    // managed windows and no window manager, all of it Wine's own teardown of the windows.
    EXPECT_GE(vigilon_.WaitForExit(10), 0);
    std::wstring const log = Path(L"vigilon.log");
    EXPECT_TRUE(WaitUntil([&] { return HistoryEvents(log, "").size() == 3; }));  // start, exit, start
    EXPECT_TRUE(HoldsFor([&] { return again.Running(); }, 2));
    HWND const second = FindVigilonMainWindow();
    ASSERT_NE(second, nullptr);
    SendMenuCommand(second, kFileExitCommand);
    EXPECT_GE(again.WaitForExit(15), 0);
}

TEST_F(VigilonTest, ACloseRequestFromAnotherProgramEndsVigilonAsExitDoes) {
    std::wstring const helper = AddHelper(L"g.exe", Caption(L"Gamma"));
    WriteIni({{L"Gamma", Caption(L"Gamma"), helper}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return HiddenByVigilon(L"Gamma"); }));
    PostMessageW(main_, WM_CLOSE, 0, 0);  // what taskkill without /F sends the hidden window
    EXPECT_EQ(vigilon_.WaitForExit(15), 0);
    // Shown by a request handed over without waiting: it takes effect a moment later.
    EXPECT_TRUE(WaitUntil([&] { return Shown(WindowOf(Caption(L"Gamma"))); }));
    EXPECT_TRUE(WaitUntil([&] { return !TrayIconPresent(main_); }));
}

TEST_F(VigilonTest, TrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
    WriteIni({{L"Nothing", Caption(L"Nothing"), L""}});
    StartVigilon(L"configure");
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }));
    RemoveTrayIcon(main_);
    ASSERT_FALSE(TrayIconPresent(main_));
    BroadcastTaskbarCreated();
    EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }));
}

TEST_F(VigilonTest, SessionEndAsksTheWatchedProgramsToClose) {
    std::wstring const helper = AddHelper(L"d.exe", Caption(L"Delta"));
    WriteIni({{L"Delta", Caption(L"Delta"), helper}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return HiddenByVigilon(L"Delta"); }));
    // What the system sends each top-level window when the session ends.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &result);
    EXPECT_EQ(result, static_cast<DWORD_PTR>(TRUE));
    SendMessageTimeoutW(main_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 30000, &result);
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(helper).closes == 1; }));
    EXPECT_EQ(vigilon_.WaitForExit(15), 0);
}

TEST_F(VigilonTest, AnInstallerReplacingVigilonEndsItAloneAndShowsTheWatchedPrograms) {
    std::wstring const helper = AddHelper(L"u.exe", Caption(L"Upsilon"));
    WriteIni({{L"Upsilon", Caption(L"Upsilon"), helper}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return HiddenByVigilon(L"Upsilon"); }));
    // What Restart Manager sends a program whose files an installer must replace.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main_, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_NORMAL, 10000, &result);
    SendMessageTimeoutW(main_, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_NORMAL, 30000, &result);
    EXPECT_EQ(vigilon_.WaitForExit(15), 0);
    EXPECT_TRUE(WaitUntil([&] { return Shown(WindowOf(Caption(L"Upsilon"))); }));
    EXPECT_EQ(RecordOf(helper).closes, 0);
}

}  // namespace
}  // namespace vigilon::e2e
