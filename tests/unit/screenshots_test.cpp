#include <gtest/gtest.h>

#include "engine/outputs/trouble_screenshots.h"
#include "fakes/engine_scene.h"
#include "fakes/engine_target.h"
#include "ui/remote_answers.h"

namespace vigilon {
namespace {

TEST(ScreenshotFiles, NamesSortByTimeAndOnlyTheNewestFiftyOfOursByTheirTimesAreKeptNeverTheOneJustSaved) {
    EXPECT_EQ(ScreenshotFileName({2026, 3, 4, 5, 6, 7, 8}, L"Kiosk: \"A/B\"", L"hung"),
              L"2026-03-04 050607.008 Kiosk_ _A_B_ hung.png");
    std::vector<FileEntry> files{{L"notes.png", 1}, {L"2026-01-01 picture.png", 2}, {L"2026-03-04 050607.008 X hung.txt", 3}};
    // 53 of ours, named across changes of second, hour and day; written in the reverse order of
    // their names (renamed, or copied in), and listed in no order.
    for (int i = 0; i < 53; ++i) {
        files.push_back({ScreenshotFileName({2026, 1, 9 + i / 50, i / 10, 0, i % 10, 0}, L"P", L"hung"),
                         static_cast<std::uint64_t>(100 - i)});
    }
    std::swap(files[5], files[40]);
    std::reverse(files.begin(), files.end());
    EXPECT_EQ(ScreenshotsBeyond(files, 50, L"elsewhere.png"),
              (std::vector<std::wstring>{L"2026-01-10 050002.000 P hung.png", L"2026-01-10 050001.000 P hung.png",
                                         L"2026-01-10 050000.000 P hung.png"}));
    EXPECT_TRUE(ScreenshotsBeyond({{L"a.png", 1}}, 0, L"").empty());

    // The clock was ahead when 50 were taken: the one just saved is older by name and by time, and
    // stays; the oldest of the others goes to make room for it.
    std::vector<FileEntry> ahead;
    for (int i = 0; i < 50; ++i) {
        ahead.push_back({ScreenshotFileName({2030, 1, 1, 0, 0, i, 0}, L"P", L"hung"), static_cast<std::uint64_t>(1000 + i)});
    }
    std::wstring const saved = ScreenshotFileName({2026, 1, 1, 0, 0, 0, 0}, L"P", L"hung");
    ahead.push_back({saved, 10});
    EXPECT_EQ(ScreenshotsBeyond(ahead, 50, saved), std::vector<std::wstring>{ahead[0].name});
}

class ScreenshotsTest : public ::testing::Test, protected testing::EngineScene {
protected:
    static constexpr wchar_t kShots[] = L"C:\\Vigilon\\screenshots\\";

    ScreenshotsTest() {
        engine.SetNoticeMode(NoticeMode::Tray);
        engine.SetTroubleCommand(L"tell.cmd");
        engine.SetHangSeconds(5);
        fake.files.AddFile(L"C:\\busy.exe");
        AddProgram(L"Busy", L"Busy", L"C:\\busy.exe");
        window = fake.desktop.Add(L"Busy - work", true, false);
        fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\busy.exe";
    }
    // Passes a second apart until the window is asked to close; no question is answered.
    void UntilClosed() {
        for (int i = 0; i < 600 && fake.desktop.postedCloses.empty(); ++i) {
            engine.WatchPrograms();
            for (; asked_ < fake.processes.questions.size(); ++asked_) {
                engine.WindowAnswered(fake.processes.questions[asked_], false);
            }
            fake.events.now += 1000;
            engine.TendCommands();
        }
    }
    std::string History() { return fake.files.texts[std::wstring(kFolder) + L"vigilon.log"]; }
    // What a script that asks for a picture of `name` is told: at once, or once it is done.
    RemoteAnswer Ask(std::wstring const& name) {
        RemoteAnswer const now = AnswerRemote({RemoteVerb::Screenshot, name}, target);
        for (int i = 0; now.code == kRemoteLater && i < 10; ++i, fake.events.now += 500) {
            for (auto const& settled : engine.SettledScreenshots()) return ScreenshotAnswerOf(name, settled.path);
        }
        return now;
    }
    WindowHandle window = 0;
    testing::EngineTarget target{engine};

private:
    std::size_t asked_ = 0;
};

TEST_F(ScreenshotsTest, AHungWindowIsTakenFromTheScreenBeforeItIsAskedToCloseAndThePathIsInTheHistoryAndTheCommand) {
    // The folder holds 50 already: the oldest goes.
    fake.files.AddFolder(L"C:\\Vigilon\\screenshots");
    for (int i = 0; i < 50; ++i) fake.files.AddFile(kShots + ScreenshotFileName({2025, 1, 1, 0, 0, i, 0}, L"Busy", L"hung"));
    engine.SetScreenshots(true);
    UntilClosed();
    ASSERT_EQ(fake.capture.saved.size(), 1u);
    auto const& shot = fake.capture.saved[0];
    EXPECT_EQ(shot.window, window);
    EXPECT_TRUE(shot.fromScreen) << "a hung window never draws itself: the pass would wait on it";
    EXPECT_TRUE(shot.path.starts_with(kShots) && shot.path.ends_with(L" Busy hung.png")) << shot.path;
    std::string const narrow(shot.path.begin(), shot.path.end());
    std::string const history = History();
    EXPECT_NE(history.find("\thung\tBusy\t"), std::string::npos);
    EXPECT_NE(history.find(", screenshot " + narrow), std::string::npos) << history;
    EXPECT_LT(history.find(narrow), history.find("\tclose\tBusy"));
    ASSERT_FALSE(fake.commands.commands.empty());
    EXPECT_EQ(fake.commands.commands[0].variables.at(L"VIGILON_SCREENSHOT"), shot.path);
    EXPECT_EQ(fake.files.FilesIn(L"C:\\Vigilon\\screenshots", L".png").size(), 50u);
    EXPECT_TRUE(fake.files.privateFolders.empty());  // a folder there already is left as it is
    EXPECT_EQ(fake.files.QueryFileAttributes(kShots + ScreenshotFileName({2025, 1, 1, 0, 0, 0, 0}, L"Busy", L"hung")).attributes,
              kInvalidFileAttributes);
}

TEST_F(ScreenshotsTest, OffNoneIsTakenAndAPictureThatCannotBeSavedLeavesTheRestartAsItWas) {
    UntilClosed();
    EXPECT_TRUE(fake.capture.saved.empty());
    EXPECT_EQ(History().find("screenshot"), std::string::npos);
    EXPECT_EQ(fake.commands.commands.at(0).variables.count(L"VIGILON_SCREENSHOT"), 0u);

    // On, with a folder that cannot be made: the window is still asked to close.
    fake.desktop.postedCloses.clear();
    fake.desktop.Remove(window);
    engine.WatchPrograms();
    fake.events.now += 1000;
    window = fake.desktop.Add(L"Busy - again", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\busy.exe";
    engine.SetScreenshots(true);
    fake.files.uncreatable.push_back(L"C:\\Vigilon\\screenshots");
    UntilClosed();
    EXPECT_EQ(fake.desktop.postedCloses, std::vector<WindowHandle>{window});
    EXPECT_EQ(History().find("screenshot"), std::string::npos);
}

TEST_F(ScreenshotsTest, TheFolderIsMadeForTheUserAloneAndAPictureThatIsNotThereIsNotNamed) {
    engine.WatchPrograms();
    fake.capture.savesNothing = true;  // the capture says it saved, yet no file is there
    EXPECT_EQ(Ask(L"Busy").code, kRemoteNotDone);
    EXPECT_EQ(fake.files.privateFolders, std::vector<std::wstring>{L"C:\\Vigilon\\screenshots"});
    EXPECT_EQ(History().find("screenshot"), std::string::npos);
}

TEST_F(ScreenshotsTest, OneAskedForByNameIsTakenWhateverTheSettingAndItsPathPrinted) {
    engine.WatchPrograms();
    RemoteAnswer const taken = Ask(L"busy");
    EXPECT_EQ(taken.code, kRemoteDone);
    ASSERT_EQ(fake.capture.saved.size(), 1u);
    EXPECT_FALSE(fake.capture.saved[0].fromScreen);
    EXPECT_EQ(taken.text, fake.capture.saved[0].path + L"\r\n");
    EXPECT_EQ(Ask(L"Nobody").code, kRemoteUnknown);
    fake.capture.succeeds = false;
    EXPECT_EQ(Ask(L"Busy").code, kRemoteNotDone);
    fake.desktop.Remove(window);
    fake.capture.succeeds = true;
    EXPECT_EQ(Ask(L"Busy").code, kRemoteNotDone);
}

TEST_F(ScreenshotsTest, APictureThatNeverComesHoldsUpNeitherAPassNorACommandAndTheRestartGoesOnAfterItsLimit) {
    fake.files.AddFile(L"C:\\next.exe");
    AddProgram(L"Next", L"Next", L"C:\\next.exe");
    WindowHandle const next = fake.desktop.Add(L"Next", true, false);
    engine.SetScreenshots(true);
    fake.capture.blocks = true;  // the window never draws, nor do the screen's pixels come
    for (int i = 0; i < 600 && fake.capture.saved.empty(); ++i) {
        engine.WatchPrograms();
        for (WindowHandle const asked : fake.processes.questions) engine.WindowAnswered(asked, asked != window);
        fake.processes.questions.clear();
        fake.events.now += 1000;
    }
    ASSERT_EQ(fake.capture.saved.size(), 1u);  // its hang restart is decided, its picture begun
    // The pass went on past it, without waiting, and scripts are answered meanwhile.
    fake.desktop.Remove(next);
    engine.WatchPrograms();
    EXPECT_EQ(fake.shell.launches.size(), 1u);  // Next, gone, is started again after Busy's visit
    EXPECT_EQ(fake.events.waits, 0) << "a pass waited for the picture";
    EXPECT_EQ(AnswerRemote({RemoteVerb::Status, L""}, target).code, kRemoteNotAllRunning);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Screenshot, L"Busy"}, target).code, kRemoteLater);
    // Nothing is said, nor the window asked to close, before the picture is done or given up.
    EXPECT_EQ(History().find("\thung\tBusy"), std::string::npos);
    EXPECT_TRUE(fake.desktop.postedCloses.empty());

    // Given up after its limit: the window is asked to close, the history names no picture, and
    // the script is told there is none.
    std::vector<WatchEngine::SettledScreenshot> settled;
    for (int i = 0; i < 10 && (fake.desktop.postedCloses.empty() || settled.empty()); ++i) {
        fake.events.now += 1000;
        engine.WatchPrograms();
        engine.TendCommands();
        for (auto& done : engine.SettledScreenshots()) settled.push_back(done);
    }
    EXPECT_EQ(fake.desktop.postedCloses, std::vector<WindowHandle>{window});
    EXPECT_NE(History().find("\thung\tBusy\tno answer for "), std::string::npos);
    EXPECT_EQ(History().find("screenshot"), std::string::npos);
    EXPECT_EQ(fake.commands.commands.at(0).variables.count(L"VIGILON_SCREENSHOT"), 0u);
    ASSERT_EQ(settled.size(), 1u);
    EXPECT_EQ(ScreenshotAnswerOf(L"Busy", settled[0].path).code, kRemoteNotDone);
    // Pictures that come late are deleted: nothing names them.
    fake.capture.Unblock();
    EXPECT_TRUE(fake.files.FilesIn(L"C:\\Vigilon\\screenshots", L".png").empty());
    EXPECT_EQ(fake.capture.Outstanding(), 0u);
}

}  // namespace
}  // namespace vigilon
