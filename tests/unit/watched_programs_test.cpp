#include <gtest/gtest.h>

#include <stdexcept>

#include "app/watched_programs.h"

namespace vigilon {
namespace {

TEST(WatchedPrograms, AddGrowsTheCapacityByFiveOnlyWhenFull) {
    WatchedPrograms programs;
    programs.Reset(3, 8);
    for (int i = 4; i <= 8; ++i) {
        EXPECT_EQ(programs.Add(L"P" + std::to_wstring(i)), i);
        EXPECT_EQ(programs.Capacity(), 8);
    }
    EXPECT_EQ(programs.Add(L"P9"), 9);
    EXPECT_EQ(programs.Capacity(), 13);
    EXPECT_EQ(programs.Count(), 9);
    EXPECT_EQ(programs[9].name, L"P9");
    EXPECT_EQ(programs[9].launchResult, 0);
}

TEST(WatchedPrograms, DeleteMovesLaterRecordsDownWithAllTheirFields) {
    WatchedPrograms programs;
    programs.Reset(0, 5);
    for (wchar_t const* name : {L"A", L"B", L"C"}) programs.Add(name);
    programs[3].caption = L"C caption";
    programs[3].rules.maxMemoryMB = L"42";
    programs[3].launchResult = 33;

    EXPECT_TRUE(programs.Delete(2));
    EXPECT_EQ(programs.Count(), 2);
    EXPECT_EQ(programs.Capacity(), 5);
    EXPECT_EQ(programs[1].name, L"A");
    EXPECT_EQ(programs[2].name, L"C");
    EXPECT_EQ(programs[2].caption, L"C caption");
    EXPECT_EQ(programs[2].rules.maxMemoryMB, L"42");
    EXPECT_EQ(programs[2].launchResult, 33);
}

TEST(WatchedPrograms, RefusesNumbersOutsideTheTable) {
    WatchedPrograms programs;
    programs.Reset(1, 10);
    EXPECT_FALSE(programs.Delete(0));
    EXPECT_FALSE(programs.Delete(2));
    EXPECT_THROW(programs[0], std::out_of_range);
    EXPECT_THROW(programs[2], std::out_of_range);
    EXPECT_TRUE(programs.Delete(1));
    EXPECT_EQ(programs.Count(), 0);
    EXPECT_THROW(programs[1], std::out_of_range);
    EXPECT_EQ(programs.Add(L"again"), 1);
}

TEST(WatchedPrograms, StopsAtTheLargestSixteenBitCount) {
    WatchedPrograms programs;
    programs.Reset(WatchedPrograms::kMaxCount, WatchedPrograms::kMaxCount);
    EXPECT_EQ(programs.Add(L"one too many"), 0);
    EXPECT_EQ(programs.Count(), WatchedPrograms::kMaxCount);
}

}  // namespace
}  // namespace vigilon
