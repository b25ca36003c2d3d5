#include <gtest/gtest.h>

#include "app/window_match.h"
#include "engine/process_images.h"
#include "engine/window_claims.h"
#include "fakes/fake_platform.h"
#include "fakes/engine_scene.h"

namespace vigilon {
namespace {

WindowMatch MatchOf(std::wstring caption, std::wstring captionMatch = {}, std::wstring windowClass = {},
                    std::wstring process = {}) {
    WatchedProgram record;
    record.caption = std::move(caption);
    record.rules.captionMatch = std::move(captionMatch);
    record.rules.windowClass = std::move(windowClass);
    record.rules.process = std::move(process);
    std::optional<WindowMatch> match = WindowMatchOf(record);
    EXPECT_TRUE(match.has_value());
    return match.value_or(WindowMatch{});
}

TEST(WindowMatch, CaptionMatchComparesEachWayCaseIgnored) {
    std::wstring const caption = L"NOTES.TXT - NOTEPAD";
    EXPECT_TRUE(CaptionFits(MatchOf(L"notes.txt"), caption));  // Start, the default
    EXPECT_FALSE(CaptionFits(MatchOf(L"Notepad"), caption));
    EXPECT_TRUE(CaptionFits(MatchOf(L"Notepad", L"contains"), caption));
    EXPECT_TRUE(CaptionFits(MatchOf(L"txt -", L"Contains"), caption));
    EXPECT_TRUE(CaptionFits(MatchOf(L"Notepad", L"End"), caption));
    EXPECT_FALSE(CaptionFits(MatchOf(L"notes", L"End"), caption));
    EXPECT_TRUE(CaptionFits(MatchOf(L"notes.txt - notepad", L" Exact "), caption));
    EXPECT_FALSE(CaptionFits(MatchOf(L"notes.txt - note", L"Exact"), caption));
    // Blanks left at the end of a caption do not hide its end.
    EXPECT_TRUE(CaptionFits(MatchOf(L"Notepad", L"End"), L"NOTES.TXT - NOTEPAD  "));
    EXPECT_TRUE(CaptionFits(MatchOf(L"notes.txt - notepad", L"Exact"), L"NOTES.TXT - NOTEPAD \t"));

    WatchedProgram record;
    record.caption = L"Notepad";
    record.rules.captionMatch = L"Anywhere";
    EXPECT_FALSE(WindowMatchOf(record).has_value());  // never a wider match than asked for
    EXPECT_FALSE(MatchKeysUsable(record.rules));
    EXPECT_EQ(ParseCaptionMatch(L"Anywhere").problem, L"Start, Contains, End or Exact");
}

TEST(WindowMatch, ProcessIsAFullPathOrAFileNameAndClassIsTheWholeName) {
    WindowMatch const path = MatchOf(L"Board", {}, {}, L"c:/apps/board.exe");
    EXPECT_TRUE(ImageFits(path, L"C:\\APPS\\BOARD.EXE"));
    EXPECT_FALSE(ImageFits(path, L"D:\\APPS\\BOARD.EXE"));
    EXPECT_FALSE(ImageFits(path, L""));  // an image that cannot be read is nobody's
    WindowMatch const name = MatchOf(L"Board", {}, {}, L"Board.exe");
    EXPECT_TRUE(ImageFits(name, L"D:\\ELSEWHERE\\BOARD.EXE"));
    EXPECT_FALSE(ImageFits(name, L"D:\\ELSEWHERE\\MYBOARD.EXE"));
    EXPECT_TRUE(ImageFits(MatchOf(L"Board"), L""));  // no Process: any
    EXPECT_EQ(MatchOf(L"Board", {}, L" notepad ").windowClass, L"NOTEPAD");

    EXPECT_FALSE(ParseProcess(L"apps\\board.exe").problem.empty());
    EXPECT_TRUE(ParseProcess(L"\\\\server\\apps\\board.exe").problem.empty());
    RestartRules none;
    EXPECT_TRUE(MatchKeysUsable(none));
}

TEST(WindowMatch, ProgramsAreRivalsOnlyWhereOneWindowCouldMatchBoth) {
    // From the start, as always: one caption must begin the other.
    EXPECT_TRUE(MayShareWindow(MatchOf(L"Crashy Board"), MatchOf(L"crashy board 2")));
    EXPECT_FALSE(MayShareWindow(MatchOf(L"Crashy Board"), MatchOf(L"Terminal")));
    // A text found anywhere, or a beginning and an end, can meet in some caption.
    EXPECT_TRUE(MayShareWindow(MatchOf(L"Notepad", L"Contains"), MatchOf(L"Terminal")));
    EXPECT_TRUE(MayShareWindow(MatchOf(L"Notepad", L"End"), MatchOf(L"notes.txt")));
    EXPECT_FALSE(MayShareWindow(MatchOf(L"Notepad", L"End"), MatchOf(L"Wordpad", L"End")));
    EXPECT_TRUE(MayShareWindow(MatchOf(L"pad", L"End"), MatchOf(L"Notepad", L"End")));
    EXPECT_TRUE(MayShareWindow(MatchOf(L"Notes", L"Exact"), MatchOf(L"not")));
    EXPECT_FALSE(MayShareWindow(MatchOf(L"Notes", L"Exact"), MatchOf(L"otes")));
    EXPECT_TRUE(MayShareWindow(MatchOf(L"Notes", L"Exact"), MatchOf(L"otes", L"Contains")));
    // Different classes, or processes that cannot be one, never share a window.
    EXPECT_FALSE(MayShareWindow(MatchOf(L"Board", {}, L"A"), MatchOf(L"Board", {}, L"B")));
    EXPECT_TRUE(MayShareWindow(MatchOf(L"Board", {}, L"A"), MatchOf(L"Board")));
    EXPECT_FALSE(MayShareWindow(MatchOf(L"Board", {}, {}, L"a.exe"), MatchOf(L"Board", {}, {}, L"C:\\b.exe")));
    EXPECT_TRUE(MayShareWindow(MatchOf(L"Board", {}, {}, L"a.exe"), MatchOf(L"Board", {}, {}, L"C:\\x\\A.exe")));
}

// At the same length of caption, the closer way of comparing wins the window: Exact, then Start
// or End, then Contains.
TEST(WindowClaims, AtTheSameLengthExactBeatsStartAndEndWhichBeatContains) {
    WatchedPrograms programs;
    auto const add = [&](std::wstring const& name, std::wstring const& captionMatch) {
        WatchedProgram& record = programs[programs.Add(name)];
        record.caption = L"Notes";
        record.rules.captionMatch = captionMatch;
    };
    add(L"Whole", L"Exact");
    add(L"Begins", L"Start");
    add(L"Ends", L"End");
    add(L"Anywhere", L"Contains");
    WindowClaims claims([](std::wstring const&) { return WindowHandle{0}; }, {});
    claims.Update(programs);
    auto const fits = [](WindowMatch const&) { return true; };
    EXPECT_TRUE(claims.MayTake(L"Whole", 1, L"NOTES", fits));
    EXPECT_FALSE(claims.MayTake(L"Begins", 1, L"NOTES", fits));
    EXPECT_FALSE(claims.MayTake(L"Anywhere", 1, L"NOTES", fits));
    // Without the whole caption, Start and End are alike, each above Contains.
    EXPECT_TRUE(claims.MayTake(L"Begins", 2, L"NOTES - NOTES", fits));
    EXPECT_TRUE(claims.MayTake(L"Ends", 2, L"NOTES - NOTES", fits));
    EXPECT_FALSE(claims.MayTake(L"Anywhere", 2, L"NOTES - NOTES", fits));
}

// An image that cannot be read now (an elevated program's) is asked again once the desktop has
// been read again, not taken as empty for the life of the process.
TEST(ProcessImages, AnImageThatCannotBeReadIsAskedAgainAfterTheNextReadingOfTheDesktop) {
    testing::FakeProcessWatch processes;
    ProcessImages images(processes);
    processes.startTimes[20] = 2000;
    EXPECT_EQ(images.Of(20, 1), L"");
    processes.images[20] = L"C:\\Apps\\board.exe";
    EXPECT_EQ(images.Of(20, 1), L"");  // not asked again before then
    images.Prune([](WindowHandle) { return true; });
    EXPECT_EQ(images.Of(20, 1), L"C:\\APPS\\BOARD.EXE");
}

// A process id can pass to a later process once the first has ended: a window not seen before is
// checked by the process's start time, and the image read again only when it changed.
TEST(ProcessImages, AnUnseenWindowOfAnIdThatStartedAgainHasItsImageReadAgain) {
    testing::FakeProcessWatch processes;
    ProcessImages images(processes);
    processes.images[20] = L"C:\\Apps\\board.exe";
    processes.startTimes[20] = 2000;
    EXPECT_EQ(images.Of(20, 1), L"C:\\APPS\\BOARD.EXE");
    // Were it read again, the image would now be another: the same process's new window keeps it.
    processes.images[20] = L"C:\\Tools\\other.exe";
    EXPECT_EQ(images.Of(20, 2), L"C:\\APPS\\BOARD.EXE");
    // The id now names a later process: its new window has the later image.
    processes.startTimes[20] = 3000;
    EXPECT_EQ(images.Of(20, 3), L"C:\\TOOLS\\OTHER.EXE");
}

// Windows of processes whose images the test gives.
class WindowMatchEngineTest : public ::testing::Test, protected testing::EngineScene {
protected:
    WindowMatchEngineTest() {
        fake.files.AddFile(L"C:\\Apps\\board.exe");
        fake.desktop.reports = testing::FakeDesktop::Reports::Windows;
        // Each start is a new process of board.exe, whose window comes at once.
        fake.shell.onLaunch = [this](auto const&) {
            auto const process = static_cast<std::uint32_t>(500 + fake.shell.launches.size());
            Open(launchCaption, process, L"C:\\Apps\\board.exe");
        };
    }
    WindowHandle Open(std::wstring caption, std::uint32_t process, std::wstring image,
                      std::wstring windowClass = L"BoardFrame") {
        WindowHandle const window = fake.desktop.Add(std::move(caption), true, false);
        testing::FakeWindow& added = *fake.desktop.Find(window);
        added.processId = process;
        added.windowClass = std::move(windowClass);
        fake.processes.images[process] = std::move(image);
        fake.processes.startTimes[process] = process * 100ull;
        ++fake.desktop.changes;
        return window;
    }
    WatchedProgram& Board(std::wstring caption = L"Board") {
        return AddProgram(L"Board" + std::to_wstring(programs.Count() + 1), caption, L"C:\\Apps\\board.exe");
    }
    std::wstring launchCaption = L"Board - started";
};

TEST_F(WindowMatchEngineTest, AWindowOfAnotherProcessWithTheSameCaptionIsNotTaken) {
    // The stranger comes first in enumeration order, where a caption alone would take it.
    WindowHandle const stranger = Open(L"Board - Web Browser", 10, L"C:\\Browser\\browser.exe");
    WindowHandle const own = Open(L"Board - lobby", 20, L"C:\\Apps\\Board.exe");
    Board().rules.process = L"C:\\apps\\board.exe";
    Board().rules.process = L"board.exe";
    Passes(3);
    EXPECT_EQ(engine.WindowOf(L"Board1"), own);
    // Its namesake by file name is not given the first one's window, nor the stranger's: it is started.
    EXPECT_NE(engine.WindowOf(L"Board2"), stranger);
    EXPECT_EQ(fake.shell.launches.size(), 1u);

    // Without its own window, the program is started rather than given the stranger's.
    fake.desktop.Remove(own);
    ++fake.desktop.changes;
    Passes(3);
    EXPECT_NE(engine.WindowOf(L"Board1"), stranger);
    EXPECT_EQ(fake.shell.launches.size(), 2u);
}

// A Process written in a short or relative form, or a file name without its extension, names the
// image all the same: the program's window is found, and it is not started again and again.
TEST_F(WindowMatchEngineTest, ProcessInAnotherFormOfTheImagesPathStillFindsTheWindow) {
    fake.files.longPaths[L"C:\\PROGRA~1\\Board\\board.exe"] = L"C:\\Program Files\\Board\\board.exe";
    WindowHandle const shortly = Open(L"Board - lobby", 20, L"C:\\Program Files\\Board\\board.exe");
    WindowHandle const bare = Open(L"Pad - notes", 30, L"C:\\Windows\\notepad.exe");
    // And the other way round: the system names the image by its short form, the key by its long one.
    fake.files.longPaths[L"C:\\PROGRA~1\\Chess\\chess.exe"] = L"C:\\Program Files\\Chess\\chess.exe";
    WindowHandle const named = Open(L"Chess - game", 40, L"C:\\PROGRA~1\\Chess\\chess.exe");
    Board().rules.process = L"C:\\PROGRA~1\\Board\\board.exe";
    Board(L"Pad").rules.process = L"Notepad";
    Board(L"Chess").rules.process = L"C:\\Program Files\\Chess\\chess.exe";
    Passes(5);
    EXPECT_EQ(engine.WindowOf(L"Board1"), shortly);
    EXPECT_EQ(engine.WindowOf(L"Board2"), bare);
    EXPECT_EQ(engine.WindowOf(L"Board3"), named);
    EXPECT_TRUE(fake.shell.launches.empty());
}

TEST_F(WindowMatchEngineTest, ClassNarrowsTheMatchAndAKeyThatCannotBeUsedWatchesNothing) {
    WindowHandle const folder = Open(L"Board", 10, L"C:\\Windows\\explorer.exe", L"CabinetWClass");
    WindowHandle const own = Open(L"Board", 20, L"C:\\Apps\\board.exe", L"BoardFrame");
    Board().rules.windowClass = L"boardframe";
    Passes(2);
    EXPECT_EQ(engine.WindowOf(L"Board1"), own);
    EXPECT_TRUE(fake.shell.launches.empty());

    // A Process that cannot be used would make the match wider than asked: nothing is taken or started.
    Board().rules.process = L"apps\\board.exe";
    Passes(3);
    EXPECT_EQ(engine.WindowOf(L"Board2"), 0u);
    EXPECT_TRUE(fake.shell.launches.empty());
    EXPECT_NE(engine.WindowOf(L"Board1"), folder);
}

TEST_F(WindowMatchEngineTest, AnyWayOfMatchingTheProgramWhoseCaptionMatchesMoreOfTheWindowWinsIt) {
    launchCaption = L"Untitled - Notepad";
    WindowHandle const notes = Open(L"notes.txt - Notepad", 10, L"C:\\Windows\\notepad.exe");
    WatchedProgram& ending = Board(L"Notepad");
    ending.rules.captionMatch = L"End";
    Passes(1);
    EXPECT_EQ(engine.WindowOf(L"Board1"), notes);  // alone, "Notepad" at the end finds it

    // A longer caption matches more of it, though compared from the start: it takes the window,
    // and the first is started for one of its own.
    Board(L"notes.txt - ");
    Passes(2);
    EXPECT_EQ(engine.WindowOf(L"Board2"), notes);
    EXPECT_NE(engine.WindowOf(L"Board1"), notes);
    EXPECT_EQ(fake.shell.launches.size(), 1u);

    // At the same length, the program narrowed by its process wins over one that is not.
    WindowHandle const sheet = Open(L"Sheet", 30, L"C:\\Apps\\sheet.exe");
    Board(L"sheet");
    Passes(1);
    ASSERT_EQ(engine.WindowOf(L"Board3"), sheet);
    Board(L"Sheet").rules.process = L"sheet.exe";
    Passes(1);
    EXPECT_EQ(engine.WindowOf(L"Board4"), sheet);
    EXPECT_NE(engine.WindowOf(L"Board3"), sheet);
}

TEST_F(WindowMatchEngineTest, AProcessImageIsReadOnceWhileItLivesAndOnlyForWindowsWhoseCaptionMatches) {
    WindowHandle const first = Open(L"Board - one", 20, L"C:\\Apps\\board.exe");
    WindowHandle const second = Open(L"Board - two", 20, L"C:\\Apps\\board.exe");
    for (int i = 0; i < 100; ++i) Open(L"Other " + std::to_wstring(i), 100 + i, L"C:\\other.exe");
    Board().rules.process = L"board.exe";
    Board().rules.process = L"board.exe";
    Passes(60);  // every refresh of every caption among them
    EXPECT_EQ(engine.WindowOf(L"Board1"), first);
    EXPECT_EQ(engine.WindowOf(L"Board2"), second);
    EXPECT_EQ(fake.processes.imageReads, 1);  // two windows, one process
    EXPECT_EQ(fake.desktop.classReads, 0);    // no Class: never asked

    // The process ends and a later one takes its id: its image is read again, and it is not the program's.
    fake.desktop.Remove(first);
    fake.desktop.Remove(second);
    WindowHandle const later = Open(L"Board - three", 20, L"C:\\Tools\\board2.exe");
    fake.processes.startTimes[20] = 99999;
    Passes(3);
    // Once more for the later process, and once for each process started meanwhile.
    EXPECT_EQ(fake.processes.imageReads, 2 + static_cast<int>(fake.shell.launches.size()));
    EXPECT_NE(engine.WindowOf(L"Board1"), later);
    EXPECT_NE(engine.WindowOf(L"Board2"), later);
}

}  // namespace
}  // namespace vigilon
