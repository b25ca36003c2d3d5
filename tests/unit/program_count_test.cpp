#include <gtest/gtest.h>

#include "app/program_count.h"

namespace vigilon {
namespace {

TEST(ProgramCount, ReadsTheLeadingDecimalNumber) {
    EXPECT_EQ(ParseProgramCount(L"3"), 3);
    EXPECT_EQ(ParseProgramCount(L"  7x"), 7);
    EXPECT_EQ(ParseProgramCount(L"\t12"), 12);
    EXPECT_EQ(ParseProgramCount(L"+4"), 4);
    EXPECT_EQ(ParseProgramCount(L"1.2.3"), 1);
}

TEST(ProgramCount, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(ParseProgramCount(L"2.5"), 2);
    EXPECT_EQ(ParseProgramCount(L"3.5"), 4);
    EXPECT_EQ(ParseProgramCount(L"2.50001"), 3);
    EXPECT_EQ(ParseProgramCount(L"2.4999"), 2);
    EXPECT_EQ(ParseProgramCount(L"0.5"), 0);
    EXPECT_EQ(ParseProgramCount(L"1.5"), 2);
    EXPECT_EQ(ParseProgramCount(L".6"), 1);
}

TEST(ProgramCount, TextWithoutANumberCountsAsZero) {
    EXPECT_EQ(ParseProgramCount(L""), 0);
    EXPECT_EQ(ParseProgramCount(L"abc"), 0);
    EXPECT_EQ(ParseProgramCount(L"x7"), 0);
    EXPECT_EQ(ParseProgramCount(L"-"), 0);
}

TEST(ProgramCount, NegativeAndOversizedCountsCannotBeUsed) {
    EXPECT_EQ(ParseProgramCount(L"-1"), std::nullopt);
    EXPECT_EQ(ParseProgramCount(L"-0.4"), 0);
    EXPECT_EQ(ParseProgramCount(L"32762"), 32762);
    EXPECT_EQ(ParseProgramCount(L"32762.5"), 32762);
    EXPECT_EQ(ParseProgramCount(L"32763"), std::nullopt);
    EXPECT_EQ(ParseProgramCount(L"99999"), std::nullopt);
    EXPECT_EQ(ParseProgramCount(L"99999999999999999999999999999"), std::nullopt);
}

}  // namespace
}  // namespace vigilon
