#include <gtest/gtest.h>

#include "app/options.h"
#include "app/setting_keys.h"
#include "app/setting_source.h"
#include "unit/hours_scene.h"

namespace vigilon {
namespace {

// DisplayOff=Hours with a sign player.
class DisplaySleepTest : public ::testing::Test, protected testing::OneProgramScene {
protected:
    DisplaySleepTest() : OneProgramScene(L"Sign", L"Sign - up") { engine.SetDisplayOff(true); }
    std::vector<bool> const& Calls() const { return fake.system.displaysAsleep; }
};

TEST_F(DisplaySleepTest, AsleepOnceWhenTheLastHoursEndAndWokenWhenTheyBeginAPersonStartsOrNothingHoldsIt) {
    Passes(5);
    EXPECT_TRUE(Calls().empty());  // no program has hours: nothing to sleep for

    programs[1].rules.hours = L"03:00-03:06";
    Passes(120);  // to 03:06:05: its hours end
    EXPECT_EQ(Calls(), std::vector<bool>{true});
    EXPECT_EQ(Details(L"", L"off"),
              std::vector<std::wstring>{L"displays put to sleep: no program is inside its hours until Sat 03:00"});
    Passes(60);
    EXPECT_EQ(Calls().size(), 1u);  // once at the edge, not at every pass

    Later(24 * 60 - 7);  // Saturday 02:59:xx
    Passes(50);
    EXPECT_EQ(Calls(), (std::vector<bool>{true, false}));
    EXPECT_EQ(Details(L"", L"on"), std::vector<std::wstring>{L"displays woken: Sign runs"});

    Passes(370);  // past Saturday 03:06: asleep again
    ASSERT_EQ(Calls().size(), 3u);
    // A person's start outside the hours counts as inside them.
    ASSERT_EQ(engine.StartProgram(L"Sign").answer, StartAnswer::Starting);
    Passes(2);
    EXPECT_EQ(Calls(), (std::vector<bool>{true, false, true, false}));
}

TEST_F(DisplaySleepTest, TurnedOffOrLaunchingPausedWakesThemAtOnce) {
    programs[1].rules.hours = L"Sat 08:00-18:00";
    Passes(3);
    ASSERT_EQ(Calls(), std::vector<bool>{true});
    engine.PauseLaunching();
    EXPECT_EQ(Calls(), (std::vector<bool>{true, false}));
    EXPECT_EQ(Details(L"", L"on"), std::vector<std::wstring>{L"displays woken: launching is paused"});
    Passes(5);
    EXPECT_EQ(Calls().size(), 2u);
    engine.ResumeLaunching();
    Passes(2);
    ASSERT_EQ(Calls().size(), 3u);
    engine.SetDisplayOff(false);
    EXPECT_EQ(Calls(), (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(Details(L"", L"on").back(), L"displays woken: DisplayOff is off");
    Passes(5);
    EXPECT_EQ(Calls().size(), 4u);
}

TEST(DisplayOffKey, OnlyHoursOrEmptyIsTakenAndAnythingElseIsRefusedWithWhy) {
    PolicyCheck check = nullptr;
    for (SettingKey const& key : SettingKeys()) {
        if (key.name == std::wstring_view(kDisplayOffKey)) check = key.problem;
    }
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check(L""), L"");
    EXPECT_EQ(check(L"hours"), L"");
    EXPECT_EQ(check(L"1"), L"not Hours or empty");
    EXPECT_EQ(check(L"Always"), L"not Hours or empty");
}

}  // namespace
}  // namespace vigilon
