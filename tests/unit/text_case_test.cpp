#include <gtest/gtest.h>

#include "support/text_case.h"

namespace vigilon {
namespace {

TEST(TextCase, UpperAndLowerAreInversesOnCasedLetters) {
    // Several small letters can share one capital (final sigma, dotless i, long s), so the round
    // trip is taken from the capital's side, and from the small letter's for lower case.
    for (wchar_t c = 0; c < 0xFFFF; ++c) {
        wchar_t const upper = ToUpperChar(c);
        if (upper != c) {
            EXPECT_EQ(ToUpperChar(ToLowerChar(upper)), upper) << std::hex << int(c);
        }
        wchar_t const lower = ToLowerChar(c);
        if (lower != c) {
            EXPECT_EQ(ToLowerChar(ToUpperChar(lower)), lower) << std::hex << int(c);
        }
    }
}

TEST(TextCase, FoldsTheAnsiCodePageLetters) {
    EXPECT_EQ(ToUpperText(L"abc xyz \u00E0\u00FE\u00FF"), L"ABC XYZ \u00C0\u00DE\u0178");
    EXPECT_EQ(ToUpperText(L"\u0105\u013E\u017E"), L"\u0104\u013D\u017D");
    EXPECT_EQ(ToUpperText(L"\u03B1\u03C9\u0430\u044F\u0451"), L"\u0391\u03A9\u0410\u042F\u0401");
    EXPECT_EQ(ToUpperText(L"\u00F7\u00DF1"), L"\u00F7\u00DF1");
    EXPECT_EQ(ToLowerText(L"JAVAW.EXE"), L"javaw.exe");
    // Letters beyond the regular runs of their scripts, and the fullwidth forms.
    EXPECT_EQ(ToUpperText(L"\u0491\u03CA\u03CB\u01A1\u01B0\u0103\uFF41\uFF5A"),
              L"\u0490\u03AA\u03AB\u01A0\u01AF\u0102\uFF21\uFF3A");
    EXPECT_EQ(ToLowerText(L"\u0490\u03AA\u01AF\uFF21"), L"\u0491\u03CA\u01B0\uFF41");
}

}  // namespace
}  // namespace vigilon
