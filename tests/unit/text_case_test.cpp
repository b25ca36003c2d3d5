#include <gtest/gtest.h>

#include "support/text_case.h"

namespace vigilon {
namespace {

TEST(TextCase, UpperAndLowerAreInversesOnCasedLetters) {
    for (wchar_t c = 0; c < 0x500; ++c) {
        wchar_t const upper = ToUpperChar(c);
        if (upper != c) {
            EXPECT_EQ(ToLowerChar(upper), c == 0x3C2 ? wchar_t{0x3C3} : c) << std::hex << int(c);
        }
        wchar_t const lower = ToLowerChar(c);
        if (lower != c) {
            EXPECT_EQ(ToUpperChar(lower), c) << std::hex << int(c);
        }
    }
}

TEST(TextCase, FoldsTheAnsiCodePageLetters) {
    EXPECT_EQ(ToUpperText(L"abc xyz \u00E0\u00FE\u00FF"), L"ABC XYZ \u00C0\u00DE\u0178");
    EXPECT_EQ(ToUpperText(L"\u0105\u013E\u017E"), L"\u0104\u013D\u017D");
    EXPECT_EQ(ToUpperText(L"\u03B1\u03C9\u0430\u044F\u0451"), L"\u0391\u03A9\u0410\u042F\u0401");
    EXPECT_EQ(ToUpperText(L"\u00F7\u00DF1"), L"\u00F7\u00DF1");
    EXPECT_EQ(ToLowerText(L"JAVAW.EXE"), L"javaw.exe");
}

}  // namespace
}  // namespace vigilon
