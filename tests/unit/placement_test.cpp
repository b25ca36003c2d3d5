#include <gtest/gtest.h>

#include "engine/rules/placement.h"
#include "fakes/engine_scene.h"

namespace vigilon {
namespace {

using testing::FakeWindow;

DisplayInfo const kPrimary{L"\\\\?\\DISPLAY#ONE", L"\\\\.\\DISPLAY1", 0, 0, 1920, 1080, true};
DisplayInfo const kSecond{L"\\\\?\\DISPLAY#TWO", L"\\\\.\\DISPLAY2", 1920, 0, 1280, 1024, false};
WindowRect const kSecondArea{1920, 0, 1280, 1024};

// A program whose window is there, found by a pass, on the fakes' desktop of two displays. The
// world moves on between passes: requests handed to windows take effect then, and their outcomes
// come back, as the system's posted message brings them.
class PlacementTest : public ::testing::Test, protected testing::EngineScene {
protected:
    PlacementTest() {
        fake.desktop.displays = {kPrimary, kSecond};
        AddProgram(L"Kiosk", L"Kiosk", L"C:\\kiosk.exe");
        window = fake.desktop.Add(L"Kiosk - main", true, false);
    }
    RestartRules& Rules() { return programs[1].rules; }
    FakeWindow& Window() { return *fake.desktop.Find(window); }
    void Pass() {
        engine.WatchPrograms();
        Settle();
    }
    void Settle() {
        fake.desktop.ApplyPendingShows();
        engine.TakePlacementOutcomes();
    }
    int History(std::wstring const& word) {
        auto const events = Events(L"Kiosk");
        return static_cast<int>(std::count(events.begin(), events.end(), word));
    }

    WindowHandle window = 0;
};

TEST_F(PlacementTest, EachShowStateIsStartedInAndPutBackWhenMinimisedOrHidden) {
    struct Case {
        wchar_t const* show;
        std::int32_t start;
        bool maximised;
    };
    for (Case const c : {Case{L"Normal", kSwShowNormal, false}, Case{L"Maximized", kSwShowMaximized, true}}) {
        SCOPED_TRACE(c.show);
        Rules().show = c.show;
        EXPECT_EQ(StartShowCommand(Rules()), c.start);
        Window().minimised = true;
        Pass();
        EXPECT_TRUE(Window().visible);  // not hidden, as a Hidden program's window would be
        EXPECT_FALSE(Window().minimised);
        EXPECT_EQ(Window().maximised, c.maximised);
        Window().visible = false;  // it went to its own tray
        Pass();
        EXPECT_TRUE(Window().visible);
        EXPECT_EQ(Window().maximised, c.maximised);
    }
    // Once in place, a pass only reads its style (and the topmost flag with OnTop=1; where it is
    // with a display named or full screen): no request reaches the window, and one line said it.
    int const requests = fake.desktop.requests;
    int const questions = fake.desktop.placementQuestions;
    Pass();
    Pass();
    EXPECT_EQ(fake.desktop.requests, requests);
    EXPECT_EQ(fake.desktop.placementQuestions - questions, 2);
    EXPECT_GE(History(L"placed"), 1);
    EXPECT_EQ(Events(L"Kiosk").back(), L"placed");
}

TEST_F(PlacementTest, FullScreenCoversItsDisplayWithoutFrameAndGivesTheStyleBackWhenLetGo) {
    Window().rect = {2000, 100, 800, 600};  // on the second display
    std::uint32_t const own = Window().style;
    Rules().show = L"FullScreen";
    Pass();
    EXPECT_EQ(Window().rect, kSecondArea);
    EXPECT_EQ(Window().style & (kWsCaption | kWsThickFrame), 0u);
    // The program puts its caption back: taken away again.
    Window().style = own;
    Pass();
    EXPECT_EQ(Window().style & kWsCaption, 0u);
    // The key taken away: its own style and place come back.
    Rules().show.clear();
    Pass();
    EXPECT_EQ(Window().style, own);
    EXPECT_EQ(Window().rect, (WindowRect{2000, 100, 800, 600}));
    EXPECT_EQ(History(L"released"), 1);
    // Made full screen again, then Vigilon ends, or the program is deleted from the list.
    Rules().show = L"FullScreen";
    Pass();
    engine.LetGoOfWindows();
    fake.desktop.ApplyPendingShows();
    EXPECT_EQ(Window().style, own);
    Pass();
    programs.Delete(1);
    Pass();
    EXPECT_EQ(Window().style, own);
}

TEST_F(PlacementTest, AWindowGoesToItsDisplayToThePrimaryWhileItIsMissingAndBackWhenItReturns) {
    Rules().show = L"Maximized";
    Rules().monitor = kSecond.id;
    Window().maximised = true;  // maximised on the primary
    Pass();
    EXPECT_TRUE(Window().maximised);
    EXPECT_EQ(DisplayOf(Window().rect, fake.desktop.displays)->id, kSecond.id);
    fake.desktop.displays = {kPrimary};  // unplugged: the system tells of it
    engine.PlaceWindowsAgain();
    Settle();
    EXPECT_EQ(DisplayOf(Window().rect, fake.desktop.displays)->id, kPrimary.id);
    EXPECT_TRUE(Window().maximised);
    fake.desktop.displays = {kSecond, kPrimary};  // back, elsewhere in the list
    engine.PlaceWindowsAgain();
    Settle();
    EXPECT_EQ(DisplayOf(Window().rect, fake.desktop.displays)->id, kSecond.id);
    EXPECT_TRUE(Window().maximised);
}

TEST_F(PlacementTest, OnTopIsPutBackAndTakenAwayWhenTheKeyIs) {
    Rules().onTop = L"1";
    Pass();
    EXPECT_TRUE(Window().topmost);
    Window().topmost = false;  // another program took it off
    Pass();
    EXPECT_TRUE(Window().topmost);
    Rules().onTop.clear();
    Pass();
    EXPECT_FALSE(Window().topmost);
}

TEST_F(PlacementTest, WhilePausedOrHungAWindowIsLeftAsItIsAndNeverHidden) {
    Rules().show = L"Maximized";
    Rules().onTop = L"1";
    engine.PauseLaunching();
    Window().minimised = true;
    Pass();
    Pass();
    EXPECT_TRUE(Window().visible);
    EXPECT_TRUE(Window().minimised);
    EXPECT_FALSE(Window().topmost);
    EXPECT_EQ(fake.desktop.requests, 0);
    engine.ResumeLaunching();
    fake.desktop.frozen.push_back(window);
    Pass();
    EXPECT_EQ(fake.desktop.requests, 0);
    fake.desktop.frozen.clear();
    Pass();
    EXPECT_TRUE(Window().maximised);
    EXPECT_TRUE(Window().topmost);
}

TEST_F(PlacementTest, WhileVigilonsOwnWindowsAreOpenNothingIsPutBackOverThem) {
    Rules().show = L"Maximized";
    Pass();
    EXPECT_FALSE(engine.KeepsWindowsOnTop());  // neither on top nor full screen: nothing to stand above
    Rules().onTop = L"1";
    Pass();
    EXPECT_TRUE(engine.KeepsWindowsOnTop());
    engine.SetOwnWindowsOpen(true);
    Window().minimised = true;
    Window().topmost = false;
    int const requests = fake.desktop.requests;
    Pass();
    engine.PlaceWindowsAgain();
    EXPECT_EQ(fake.desktop.requests, requests);
    engine.SetOwnWindowsOpen(false);
    Pass();
    EXPECT_TRUE(Window().maximised);
    EXPECT_TRUE(Window().topmost);
}

TEST_F(PlacementTest, TheTraysShowHideLeavesAWindowKeptOnScreenAlone) {
    Rules().show = L"Maximized";
    WindowHandle const other = fake.desktop.Add(L"Tool - 1", true, false);
    AddProgram(L"Tool", L"Tool", L"C:\\tool.exe");
    Pass();
    engine.ShowHidePrograms(false);
    fake.desktop.ApplyPendingShows();
    EXPECT_TRUE(Window().visible);
    EXPECT_TRUE(Window().maximised);
    EXPECT_FALSE(fake.desktop.IsVisible(other));
    engine.ShowHidePrograms(true);  // at Exit: not restored out of its state either
    fake.desktop.ApplyPendingShows();
    EXPECT_TRUE(Window().maximised);
}

TEST_F(PlacementTest, AValueThatCannotBeUsedIsSaidOnceAndLeavesTheDefault) {
    Rules().show = L"Huge";
    Window().minimised = true;
    Pass();
    Pass();
    EXPECT_EQ(History(L"ignored"), 1);
    EXPECT_FALSE(Window().visible);  // hidden, as by default
    EXPECT_EQ(StartShowCommand(Rules()), kSwMinimize);
}

// A program that runs elevated refuses every placement: said once and shown, asked again once a
// minute, never said to be placed until one takes.
TEST_F(PlacementTest, APlacementRefusedIsSaidOnceShownAndTriedAgainOnlyEveryMinute) {
    Rules().show = L"Maximized";
    Rules().onTop = L"1";
    fake.desktop.refusePlacement.push_back(window);
    for (int second = 0; second < 150; ++second) {
        Pass();
        fake.events.now += 1000;
    }
    EXPECT_EQ(fake.desktop.placements.size(), 3u) << "at the start, and after one and two minutes";
    EXPECT_EQ(History(L"placement"), 1);
    EXPECT_EQ(History(L"placed"), 0);
    EXPECT_EQ(StatusCells(engine.Status()[0])[1], L"Running, could not place: access denied (error 5)");

    fake.desktop.refusePlacement.clear();
    for (int second = 0; second < 60; ++second) {
        Pass();
        fake.events.now += 1000;
    }
    EXPECT_TRUE(Window().maximised);
    EXPECT_TRUE(Window().topmost);
    EXPECT_EQ(History(L"placed"), 1);
    EXPECT_EQ(StatusCells(engine.Status()[0])[1], L"Running");
}

// Refused, nothing was taken: the rule taken away has nothing to give back, and the row no longer
// names what the old rule met.
TEST_F(PlacementTest, ARuleTakenAwayAfterARefusalAsksNothingAndClearsTheRow) {
    Rules().show = L"FullScreen";
    Rules().onTop = L"1";
    fake.desktop.refusePlacement.push_back(window);
    Pass();
    fake.events.now += 1000;
    Pass();
    std::size_t const asked = fake.desktop.placements.size();
    Rules().show.clear();
    Rules().onTop.clear();
    Pass();
    engine.LetGoOfWindows();
    EXPECT_EQ(fake.desktop.placements.size(), asked);
    EXPECT_EQ(StatusCells(engine.Status()[0])[1], L"Running");
    EXPECT_EQ(History(L"placement"), 1) << "the refusal alone, no frame given back";
}

// Made full screen by a request its owner has not taken yet, then let go of as Vigilon ends: the
// end waits for both, and says the frame given back once it was.
TEST_F(PlacementTest, VigilonsEndWaitsForTheFrameGivenBackBehindTheOneTaken) {
    WindowRect const own = Window().rect;
    Rules().show = L"FullScreen";
    engine.WatchPrograms();
    engine.LetGoOfWindows();
    ASSERT_EQ(fake.desktop.ended.size(), 2u);
    EXPECT_TRUE(fake.desktop.ended[0].done && fake.desktop.ended[1].done);
    EXPECT_EQ(Window().rect, own);
    EXPECT_EQ(Events(L"Kiosk").back(), L"released");
}

TEST(PlacementDecisionTest, AWindowMovedToAnotherDisplayKeepsItsOffsetAndFitsOnIt) {
    EXPECT_EQ(MovedOnto({100, 50, 800, 600}, &kPrimary, kSecond), (WindowRect{2020, 50, 800, 600}));
    EXPECT_EQ(MovedOnto({1500, 900, 800, 600}, &kPrimary, kSecond), (WindowRect{2400, 424, 800, 600}));
    EXPECT_EQ(MovedOnto({0, 0, 3000, 2000}, nullptr, kSecond), kSecondArea);
    // A Hidden program's window out of sight stays so, wherever it is.
    WindowPlacement minimised;
    minimised.read = true;
    minimised.state = WindowShowState::Minimised;
    minimised.rect = minimised.normal = {100, 100, 800, 600};
    PlacementRule rule;
    rule.monitor = kSecond.name;
    rule.onTop = true;
    DisplayInfo const displays[] = {kPrimary, kSecond};
    EXPECT_TRUE(DecidePlacement(rule, minimised, displays).Empty());
}

}  // namespace
}  // namespace vigilon
