#include <gtest/gtest.h>

#include <cwctype>
#include <map>

#include "fakes/engine_scene.h"

namespace vigilon {
namespace {

// Every start is a new process, which opens a minimised window captioned as `shows` says for its
// file, if at all.
class LostWindowsTest : public ::testing::Test, protected testing::EngineScene {
protected:
    LostWindowsTest() {
        engine.SetNoticeMode(NoticeMode::Tray);
        fake.shell.onLaunch = [this](auto const& launch) {
            std::uint32_t const process = 900 + static_cast<std::uint32_t>(fake.shell.launches.size());
            fake.shell.processId = process;
            fake.shell.processStarted = process * 10ull;
            fake.processes.startTimes[process] = process * 10ull;
            auto const caption = shows.find(launch.file);
            if (caption != shows.end()) Open(caption->second, process);
        };
    }
    WindowHandle Open(std::wstring const& caption, std::uint32_t process = 0) {
        WindowHandle const window = fake.desktop.Add(caption, true, true);
        if (process != 0) fake.desktop.Find(window)->processId = process;
        return window;
    }
    WatchedProgram& Add(std::wstring const& name, std::wstring const& caption) {
        std::wstring const exe = L"C:\\" + ToLower(name) + L".exe";
        fake.files.AddFile(exe);
        return AddProgram(name, caption, exe);
    }
    static std::wstring ToLower(std::wstring text) {
        for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
        return text;
    }
    std::size_t Launches() const { return fake.shell.launches.size(); }
    bool Hidden(WindowHandle window) { return !fake.desktop.IsVisible(window); }

    std::map<std::wstring, std::wstring> shows{{L"\"C:\\mines.exe\"", L"WineMine"}};
};

class NoPileOfCopiesTest : public LostWindowsTest, public ::testing::WithParamInterface<NoticeMode> {
protected:
    NoPileOfCopiesTest() { engine.SetNoticeMode(GetParam()); }
    std::wstring LastMessage() const {
        if (GetParam() == NoticeMode::Tray) return host.notices.empty() ? L"" : host.notices.back();
        return fake.system.messages.empty() ? L"" : fake.system.messages.back().text;
    }
};

TEST_P(NoPileOfCopiesTest, WhileTheProcessStartedRunsWithoutItsWindowNoOtherCopyIsStarted) {
    Add(L"Mines", L"Minesweeper");
    Passes(200);
    EXPECT_EQ(Launches(), 1u);
    // The wait's message names what the process shows, so that the caption can be corrected.
    EXPECT_EQ(LastMessage(), L"Could not find Window with Caption: Minesweeper; its windows: WineMine");
    EXPECT_EQ(Details(L"Mines", L"unmatched"),
              std::vector<std::wstring>{L"process 901 runs on without a window with its caption (its windows: "
                                        L"WineMine); no other copy is started while it runs"});
    EXPECT_EQ(StatusCells(engine.Status()[0])[1], L"Waiting for process 901 to end");

    // Once it ends, the program is started as usual, at once.
    fake.desktop.Remove(fake.desktop.TopLevelWindows().back());
    fake.processes.exits[901] = {ProcessExit::State::Ended, 0};
    Passes(1);
    EXPECT_EQ(Launches(), 2u);

    // A start asked for comes first.
    Passes(70);
    EXPECT_EQ(Launches(), 2u);
    EXPECT_EQ(engine.StartProgram(L"Mines").answer, StartAnswer::Starting);
    Passes(1);
    EXPECT_EQ(Launches(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Notices, NoPileOfCopiesTest, ::testing::Values(NoticeMode::Tray, NoticeMode::Box),
                         [](auto const& info) { return info.param == NoticeMode::Tray ? "Tray" : "Box"; });

TEST_F(LostWindowsTest, AWindowVigilonHidIsShownAgainOnceItIsNoProgramsWindowAndNoneIsLeftHidden) {
    shows[L"\"C:\\crashy.exe\""] = L"Crashy";
    Add(L"Crashy", L"Crashy");
    Passes(2);
    WindowHandle const document = engine.WindowOf(L"Crashy");
    ASSERT_TRUE(Hidden(document));

    // Retitled by its document: shown again, as it was, and no second copy of it is started.
    fake.desktop.Find(document)->caption = L"report.txt - Crashy";
    Passes(3);
    EXPECT_FALSE(Hidden(document));
    EXPECT_TRUE(fake.desktop.IsMinimised(document));
    EXPECT_EQ(Details(L"Crashy", L"shown"), std::vector<std::wstring>{L"\"report.txt - Crashy\" no longer matches its caption"});
    EXPECT_EQ(Launches(), 1u);

    // Its caption changed in the editor, and its program deleted: shown again.
    WindowHandle const notes = Open(L"Notes");
    WindowHandle const pad = Open(L"Pad");
    Add(L"Notes", L"Notes");
    Add(L"Pad", L"Pad");
    Passes(2);
    ASSERT_TRUE(Hidden(notes) && Hidden(pad));
    programs[2].caption = L"Memo";
    programs.Delete(3);
    Passes(1);
    EXPECT_FALSE(Hidden(notes));
    EXPECT_FALSE(Hidden(pad));
    EXPECT_EQ(Details(L"Notes", L"shown"), std::vector<std::wstring>{L"\"Notes\" no longer matches its caption"});
    EXPECT_EQ(Details(L"Pad", L"shown"), std::vector<std::wstring>{L"\"Pad\": no longer watched"});

    // Close Programs: one that asks before it closes is shown, restored, to ask it.
    WindowHandle const asks = Open(L"Asks");
    fake.desktop.refuseClose.push_back(asks);
    Add(L"Asks", L"Asks");
    Passes(2);
    ASSERT_TRUE(Hidden(asks));
    engine.ClosePrograms();
    fake.events.ProcessPendingEvents();
    EXPECT_FALSE(Hidden(asks));
    EXPECT_FALSE(fake.desktop.IsMinimised(asks));

    // Vigilon ends: also one whose program was deleted since the last pass (in the editor, which
    // holds the passes).
    engine.ResumeLaunching();
    WindowHandle const late = Open(L"Late");
    Add(L"Late", L"Late");
    Passes(2);
    ASSERT_TRUE(Hidden(late));
    programs.Delete(4);
    engine.ShowHidePrograms(true);
    fake.events.ProcessPendingEvents();
    EXPECT_FALSE(Hidden(late));
}

}  // namespace
}  // namespace vigilon
