#include "e2e_fixture.h"

#include <algorithm>

namespace vigilon::e2e {
namespace {

inline constexpr UINT kStatusCommand = 104;

class StatusTest : public VigilonTest {
protected:
    CommandResult Vigilon(std::wstring const& arguments) { return RunCommand(exe_, arguments, Path(L"answer.txt")); }
    // The status window's rows, once it shows `rows` of them.
    std::vector<std::vector<std::wstring>> WindowRows() {
        HWND const window = FindWindowW(L"VigilonStatus", nullptr);
        HWND const list = window == nullptr ? nullptr : FindWindowExW(window, nullptr, L"SysListView32", nullptr);
        return list == nullptr ? std::vector<std::vector<std::wstring>>{} : ListViewRows(list, 6);
    }
    // The line above the status window's rows, while it shows.
    std::wstring WindowHeadline() {
        HWND const window = FindWindowW(L"VigilonStatus", nullptr);
        HWND const line = window == nullptr ? nullptr : FindWindowExW(window, nullptr, L"Static", nullptr);
        wchar_t text[128]{};
        if (line != nullptr && IsWindowVisible(line)) GetWindowTextW(line, text, 128);
        return text;
    }
};

// An administrator checks a file before deploying it, whether or not a copy runs, and the check
// starts none; the running copy said the same problem of its own file at its start.
TEST_F(StatusTest, ValidateNamesATypoByItsLineAndTheRunningCopySaidItAtItsStart) {
    std::wstring const alpha = AddHelper(L"a.exe", Caption(L"Alpha"));
    WriteIni({{L"Alpha", Caption(L"Alpha"), alpha}});
    WritePrivateProfileStringW(L"Apps", L"Notice", L"Tray", Path(L"vigilon.ini").c_str());
    auto const namesTheTypo = [](CommandResult const& result) {
        return result.exitCode == 1 &&
               result.output.starts_with("line 4 [Apps]: Notice: did you mean Notices?\r\n1 problem in ") &&
               result.output.ends_with("vigilon.ini.\r\n");
    };
    CommandResult const alone = Vigilon(L"/validate");
    EXPECT_TRUE(namesTheTypo(alone)) << alone.exitCode << " " << alone.output;
    EXPECT_EQ(FindVigilonMainWindow(), nullptr);

    StartVigilon();
    EXPECT_TRUE(WaitUntil([&] { return InHistory(L"", "settings"); }));
    CommandResult const running = Vigilon(L"/validate \"" + Path(L"vigilon.ini") + L"\"");
    EXPECT_TRUE(namesTheTypo(running)) << running.exitCode << " " << running.output;
    EXPECT_EQ(Vigilon(L"/validate \"" + Path(L"missing.ini") + L"\"").exitCode, 2);
    CommandResult const json = Vigilon(L"/status /json");
    EXPECT_NE(json.output.find("\"text\": \"Notice: did you mean Notices?\""), std::string::npos) << json.output;
    ExitVigilon();
}

TEST_F(StatusTest, ScriptsSeeAndSteerTheRunningCopyAndTheWindowFollows) {
    std::wstring const alpha = AddHelper(L"a.exe", Caption(L"Alpha"));
    WriteIni({{L"Alpha", Caption(L"Alpha"), alpha}, {L"Blank", L"", L""}});
    EXPECT_EQ(Vigilon(L"/status").exitCode, 3);  // no running copy yet
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(Caption(L"Alpha")) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return Vigilon(L"/status").exitCode == 0; }));
    CommandResult status = Vigilon(L"/status");
    EXPECT_EQ(status.output.substr(0, status.output.find("\r\n")), "Program\tState\tProcess\tUp since\tStarts\tLast event");
    EXPECT_NE(status.output.find("\r\nAlpha\tRunning\t"), std::string::npos) << status.output;
    EXPECT_NE(status.output.find("\r\nBlank\tNo caption\t"), std::string::npos) << status.output;

    SendMenuCommand(main_, kStatusCommand);
    ASSERT_TRUE(WaitUntil([&] { return WindowRows().size() == 2; }));
    EXPECT_EQ(WindowRows()[0][0], L"Alpha");
    EXPECT_EQ(WindowRows()[0][1], L"Running");

    // Paused: not all is well, whatever the rows say, and the first line and the window say why.
    // Alpha closed: its row says it is not started.
    EXPECT_EQ(Vigilon(L"/pause").exitCode, 0);
    CommandResult const paused = Vigilon(L"/status");
    EXPECT_EQ(paused.exitCode, 1);
    EXPECT_EQ(paused.output.substr(0, paused.output.find("\r\n")), "Launching paused");
    EXPECT_TRUE(WaitUntil([&] { return WindowHeadline() == L"Launching paused"; }));
    Close(WindowOf(Caption(L"Alpha")));
    EXPECT_TRUE(WaitUntil(
        [&] { return !WindowRows().empty() && WindowRows()[0][1] == L"Not running (launching paused)"; }));
    EXPECT_EQ(RecordOf(alpha).starts.size(), 1u);

    // Resumed: started again. Restarted by name: asked to close, and started again.
    EXPECT_EQ(Vigilon(L"/resume").exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(alpha).starts.size() == 2 && WindowOf(Caption(L"Alpha")); }));
    ASSERT_TRUE(WaitUntil([&] { return Vigilon(L"/status").exitCode == 0; }));
    EXPECT_TRUE(WaitUntil([&] { return WindowHeadline().empty(); }));
    CommandResult const restart = Vigilon(L"/restart \"alpha\"");
    EXPECT_EQ(restart.exitCode, 0) << restart.output;
    EXPECT_TRUE(WaitUntil([&] { return RecordOf(alpha).starts.size() == 3; }));
    EXPECT_EQ(RecordOf(alpha).closes, 2);

    CommandResult const unknown = Vigilon(L"/restart \"Nobody\"");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.output, "No program named \"Nobody\" is watched.\r\n");
    EXPECT_EQ(Vigilon(L"/exit").exitCode, 0);
    EXPECT_GE(vigilon_.WaitForExit(15), 0);
}

}  // namespace
}  // namespace vigilon::e2e
