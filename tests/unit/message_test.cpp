#include <gtest/gtest.h>

#include "fakes/fake_system_services.h"
#include "support/message.h"
#include "support/system_version.h"

namespace vigilon {
namespace {

using testing::FakeSystemServices;

TEST(ShowMessage, EmptyTitleBecomesTheApplicationTitle) {
    FakeSystemServices system;
    EXPECT_EQ(ShowMessage(system, L"Hello", kMbIconExclamation), 1);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].title, L"Vigilon");
    EXPECT_EQ(system.messages[0].style, 48u);
    ShowMessage(system, L"Hello", 0, L"Other");
    EXPECT_EQ(system.messages[1].title, L"Other");
    EXPECT_TRUE(system.sounds.empty());
}

TEST(ShowMessage, OnlyWindows95GetsTheSoundPlayedFirst) {
    FakeSystemServices system;
    system.version = {kVerPlatformWin32Windows, 4, 10};
    ShowMessage(system, L"98", kMbIconExclamation);
    EXPECT_TRUE(system.sounds.empty());
    system.version = {kVerPlatformWin32Windows, 4, 0};
    ShowMessage(system, L"95", kMbIconExclamation);
    EXPECT_EQ(system.sounds, std::vector<std::wstring>{L"SystemExclamation"});
}

TEST(PlayMessageSound, PicksTheAliasOfTheIconBits) {
    EXPECT_EQ(MessageSoundAlias(16), L"SystemHand");
    EXPECT_EQ(MessageSoundAlias(32 | 4), L"SystemQuestion");
    EXPECT_EQ(MessageSoundAlias(48), L"SystemExclamation");
    EXPECT_EQ(MessageSoundAlias(64), L"SystemAsterisk");
    EXPECT_EQ(MessageSoundAlias(0), L"SystemDefault");
    EXPECT_EQ(MessageSoundAlias(80), L"SystemDefault");
}

TEST(PlayMessageSound, BeepsOnlyWhenThereIsNoSoundService) {
    FakeSystemServices system;
    system.soundResult = SoundResult::NotPlayed;
    PlayMessageSound(system, 48);
    EXPECT_EQ(system.beeps, 0);
    system.soundResult = SoundResult::ServiceMissing;
    PlayMessageSound(system, 48);
    EXPECT_EQ(system.beeps, 1);
}

TEST(SystemVersion, TellsThePlatformsApart) {
    FakeSystemServices system;
    EXPECT_TRUE(IsWindowsNT(system));
    EXPECT_FALSE(IsWindows95(system));
    system.version = {kVerPlatformWin32Windows, 4, 0};
    EXPECT_TRUE(IsWindows95(system));
    EXPECT_FALSE(IsWindowsNT(system));
    system.versionAvailable = false;
    EXPECT_FALSE(IsWindows95(system));
    EXPECT_FALSE(IsWindowsNT(system));
}

}  // namespace
}  // namespace vigilon
