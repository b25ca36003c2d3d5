#include "e2e_fixture.h"

namespace vigilon::e2e {
namespace {

// Holds a file open without sharing, as a crashed program's leftover might be.
class HeldFile {
public:
    explicit HeldFile(std::wstring const& path)
        : file_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    HeldFile(HeldFile const&) = delete;
    HeldFile& operator=(HeldFile const&) = delete;
    ~HeldFile() { CloseHandle(file_); }
    bool Held() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE file_;
};

int CountMessageBoxes(std::wstring const& title) {
    int count = 0;
    for (WindowInfo const& w : ListWindows()) count += w.className == L"#32770" && w.caption == title && w.visible;
    return count;
}

// The dialogs shown by process `processId`: message boxes among them.
int CountDialogsOf(DWORD processId) {
    int count = 0;
    for (WindowInfo const& w : ListWindows()) count += w.className == L"#32770" && w.visible && w.processId == processId;
    return count;
}

TEST_F(VigilonTest, AProgramThatExitsAtOnceLeavesVigilonResponsiveAndGetsOneMessage) {
    std::wstring const helper = AddHelper(L"quit.exe", Caption(L"Quitter"), L"exit-at-once");
    WriteIni({{L"Quitter", Caption(L"Quitter"), helper}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(helper).starts.size() == 1; }));
    // Inside the minute-long wait for a window, the tray still answers: Configure opens the editor.
    SendMenuCommand(main_, kConfigureCommand);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }, 10));
    PostMessageW(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }, 10));
    // After 61 tries, one message; no second launch while it is open.
    std::wstring text;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon", &text)) != nullptr; }, 90));
    EXPECT_EQ(text, L"Could not find Window with Caption: " + Caption(L"Quitter"));
    EXPECT_TRUE(HoldsFor([&] { return CountMessageBoxes(L"Vigilon") == 1 && RecordOf(helper).starts.size() == 1; }, 3));
    PressOk(box);
    EXPECT_TRUE(WaitUntil([&] { return RecordOf(helper).starts.size() == 2; }));  // the next pass tries again
}

TEST_F(VigilonTest, ExitDuringTheWaitForAWindowEndsCleanly) {
    std::wstring const helper = AddHelper(L"quit.exe", Caption(L"Quitter"), L"exit-at-once");
    std::wstring const other = AddHelper(L"other.exe", Caption(L"Other"));
    WriteIni({{L"Quitter", Caption(L"Quitter"), helper}, {L"Other", Caption(L"Other"), other}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(helper).starts.size() == 1; }));
    SendMenuCommand(main_, kPopupExitCommand);
    EXPECT_EQ(vigilon_.WaitForExit(15), 0);
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(other).starts.empty(); }, 3));  // nothing more was launched
    EXPECT_EQ(CountMessageBoxes(L"Vigilon"), 0);
}

TEST_F(VigilonTest, SessionEndDuringTheWaitForAWindowClosesProgramsAndEnds) {
    std::wstring const running = AddHelper(L"run.exe", Caption(L"Runner"));
    std::wstring const helper = AddHelper(L"quit.exe", Caption(L"Quitter"), L"exit-at-once");
    WriteIni({{L"Runner", Caption(L"Runner"), running}, {L"Quitter", Caption(L"Quitter"), helper}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(helper).starts.size() == 1; }));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &result);
    SendMessageTimeoutW(main_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 30000, &result);
    EXPECT_TRUE(WaitUntil([&] { return RecordOf(running).closes == 1; }));
    EXPECT_EQ(vigilon_.WaitForExit(15), 0);
}

TEST_F(VigilonTest, AProgramThatStopsRespondingHoldsNothingUp) {
    std::wstring const helper = AddHelper(L"hang.exe", Caption(L"Hanger"), L"hang-after-ms=2500");
    WriteIni({{L"Hanger", Caption(L"Hanger"), helper}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(Caption(L"Hanger")) != nullptr; }));
    HWND const hung = WindowOf(Caption(L"Hanger"));
    ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(hung) != FALSE; }, 30));
    // Passes go on: the editor opens and closes at once.
    SendMenuCommand(main_, kConfigureCommand);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }, 10));
    PostMessageW(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }, 10));
    // Close Programs gives up on the hung window, so Vigilon answers again straight after.
    SendMenuCommand(main_, kCloseProgramsCommand);
    SendMenuCommand(main_, kConfigureCommand);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }, 15));
    SendMenuCommand(main_, kFileExitCommand);
    EXPECT_EQ(vigilon_.WaitForExit(15), 0);
}

TEST_F(VigilonTest, CloseProgramsAsksEveryProgramAtOnceThoughOneHasJustStoppedResponding) {
    // Hanger stops handling its messages 6 s after its window opens, when Vigilon has found both
    // windows. The system calls a window hung only after five seconds without a look at its
    // messages, so Close Programs comes while Hanger does not count as hung yet.
    std::wstring const hanger = AddHelper(L"hang.exe", Caption(L"Hanger"), L"hang-after-ms=6000");
    std::wstring const other = AddHelper(L"other.exe", Caption(L"Other"));
    WriteIni({{L"Hanger", Caption(L"Hanger"), hanger}, {L"Other", Caption(L"Other"), other}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return InHistory(L"Hanger", "found") && HiddenByVigilon(L"Other"); }));
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(hanger).hangs == 1; }));
    SendMenuCommand(main_, kCloseProgramsCommand);
    // Other is asked as well, and Vigilon answers a script and starts Other again, all well within
    // the minute a wait for Hanger would take: 20 s leave a wide margin for a busy machine.
    EXPECT_TRUE(WaitUntil([&] { return RecordOf(other).closes == 1 && WindowOf(Caption(L"Other")) == nullptr; }));
    EXPECT_EQ(RunCommand(exe_, L"/resume", Path(L"answer.txt")).exitCode, 0);
    EXPECT_TRUE(WaitUntil([&] { return RecordOf(other).starts.size() == 2; }));
    EXPECT_EQ(RecordOf(hanger).starts.size(), 1u);  // still there, hung: not started again
}

TEST_F(VigilonTest, AFileThatIsNotAProgramIsReportedByVigilonWithoutTheShellsOwnMessage) {
    std::wstring const bad = Path(L"bad.exe");
    WriteTextFile(bad, L"This is a text file, not a program.");
    WriteIni({{L"Bad", Caption(L"Bad"), bad}});
    StartVigilon();
    std::wstring text;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon", &text)) != nullptr; }));
    EXPECT_EQ(text.rfind(L"Error launching: \"" + bad + L"\"", 0), 0u) << text;
    // Vigilon's own message is the only one: the shell showed none of its own inside Vigilon.
    EXPECT_EQ(CountDialogsOf(vigilon_.Id()), 1);
    PressOk(box);
}

TEST_F(VigilonTest, AMarkerThatCannotBeDeletedIsReportedAndTheStartGoesOn) {
    std::wstring const javaw = AddHelper(L"J\\javaw.exe", Caption(L"Quorvault V3.2 - M"));
    WriteTextFile(Path(L"J\\quorvault.jar"), L"");
    CreateDirectoryW(Path(L"Data").c_str(), nullptr);
    std::wstring const marker = Path(L"Data\\_quorvault_.run");
    HeldFile const held(marker);
    ASSERT_TRUE(held.Held());
    WriteIni({{L"Quorvault", Caption(L"Quorvault V3.2 - "), Path(L"J"), Path(L"J"), L"-jar", Path(L"Data")}});
    StartVigilon();
    std::wstring text;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon", &text)) != nullptr; }));
    EXPECT_EQ(text, L"Marker file: " + marker + L" could not be deleted.");
    PressOk(box);
    EXPECT_TRUE(WaitUntil([&] { return !RecordOf(javaw).starts.empty(); }));
}

TEST_F(VigilonTest, ASettingsFileThatCannotBeReadIsReportedAndLeftAlone) {
    WriteIni({{L"Alpha", Caption(L"Alpha"), L"C:\\alpha.exe"}});
    std::wstring const ini = Path(L"vigilon.ini");
    std::string const before = testing::ReadFileBytes(ini);
    {
        HeldFile const held(ini);
        ASSERT_TRUE(held.Held());
        ASSERT_TRUE(vigilon_.Start(exe_, L"", L"C:\\"));
        std::wstring text;
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon", &text)) != nullptr; }));
        EXPECT_EQ(text, L"The settings file " + ini +
                            L" could not be read.\r\nClose any program that holds it open, check that it is a file "
                            L"you may read, and start Vigilon again.");
        EXPECT_EQ(FindVigilonMainWindow(), nullptr);  // no editor offering the built-in entry
        PressOk(box);
        EXPECT_EQ(vigilon_.WaitForExit(15), 1);
    }
    EXPECT_EQ(testing::ReadFileBytes(ini), before);
}

TEST_F(VigilonTest, TwentySecondStartsInARowAllEndSilently) {
    WriteIni({{L"Nothing", Caption(L"Nothing"), L""}});
    StartVigilon(L"configure");
    for (int i = 0; i < 20; ++i) {
        Process second;
        ASSERT_TRUE(second.Start(exe_, i % 2 == 0 ? L"" : L"configure", L"C:\\"));
        EXPECT_EQ(second.WaitForExit(20), 0) << "start " << i;
    }
    int mainWindows = 0;
    for (WindowInfo const& w : ListWindows()) mainWindows += w.className == L"VigilonMainForm";
    EXPECT_EQ(mainWindows, 1);
    EXPECT_EQ(CountMessageBoxes(L"Vigilon"), 0);
}

}  // namespace
}  // namespace vigilon::e2e
