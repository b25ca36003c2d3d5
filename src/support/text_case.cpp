#include "support/text_case.h"

namespace vigilon {
namespace {

// Latin Extended-A pairs capital/small letters as even/odd code points, except in the three runs
// below where the capital is the odd one, and U+0130, U+0131, U+0138, U+0149 and U+017F have no
// simple partner here.
bool CapitalIsOdd(wchar_t c) {
    return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
}

bool HasLatinExtendedPartner(wchar_t c) {
    return c >= 0x100 && c <= 0x17E && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149;
}

// Greek vowels with an accent, which lie outside the regular capital/small runs.
struct TonosPair {
    wchar_t capital;
    wchar_t small;
};
constexpr TonosPair kTonos[] = {{0x386, 0x3AC}, {0x388, 0x3AD}, {0x389, 0x3AE}, {0x38A, 0x3AF},
                                {0x38C, 0x3CC}, {0x38E, 0x3CD}, {0x38F, 0x3CE}};

}  // namespace

wchar_t ToUpperChar(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
    if (c < 0x80) return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (HasLatinExtendedPartner(c)) {
        // The small letter always follows its capital.
        bool const small = CapitalIsOdd(c) ? (c % 2 == 0) : (c % 2 == 1);
        return small ? static_cast<wchar_t>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<wchar_t>(c - 0x20);
    if (c == 0x3C2) return 0x3A3;  // final sigma
    for (TonosPair const& pair : kTonos) {
        if (c == pair.small) return pair.capital;
    }
    if (c >= 0x430 && c <= 0x44F) return static_cast<wchar_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<wchar_t>(c - 0x50);
    return c;
}

wchar_t ToLowerChar(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 0x20);
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 0x20);
    if (c == 0x178) return 0xFF;
    if (HasLatinExtendedPartner(c)) {
        bool const capital = CapitalIsOdd(c) ? (c % 2 == 1) : (c % 2 == 0);
        return capital ? static_cast<wchar_t>(c + 1) : c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<wchar_t>(c + 0x20);
    for (TonosPair const& pair : kTonos) {
        if (c == pair.capital) return pair.small;
    }
    if (c >= 0x410 && c <= 0x42F) return static_cast<wchar_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F) return static_cast<wchar_t>(c + 0x50);
    return c;
}

std::wstring ToUpperText(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result) c = ToUpperChar(c);
    return result;
}

std::wstring ToLowerText(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result) c = ToLowerChar(c);
    return result;
}

}  // namespace vigilon
