#include "app/program_count.h"

#include <cstdint>

#include "support/digits.h"

namespace vigilon {
namespace {

// Anything above this is out of range already; saturating keeps long digit runs from overflowing.
constexpr std::int64_t kSaturation = 1'000'000'000;

enum class Fraction { Below, Half, Above };

// Compares the fraction digits that start at `i` with one half.
Fraction CompareWithHalf(std::wstring_view text, std::size_t i) {
    if (i >= text.size() || !IsDigit(text[i]) || text[i] < L'5') return Fraction::Below;
    if (text[i] > L'5') return Fraction::Above;
    for (++i; i < text.size() && IsDigit(text[i]); ++i) {
        if (text[i] != L'0') return Fraction::Above;
    }
    return Fraction::Half;
}

}  // namespace

std::optional<int> ParseProgramCount(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';

    std::int64_t whole = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        whole = whole * 10 + (text[i] - L'0');
        if (whole > kSaturation) whole = kSaturation;
    }
    Fraction fraction = Fraction::Below;
    if (i < text.size() && text[i] == L'.') fraction = CompareWithHalf(text, i + 1);

    bool const roundUp = fraction == Fraction::Above || (fraction == Fraction::Half && whole % 2 == 1);
    std::int64_t const rounded = whole + (roundUp ? 1 : 0);
    if (rounded == 0) return 0;
    if (negative || rounded > kMaxStoredCount) return std::nullopt;
    return static_cast<int>(rounded);
}

}  // namespace vigilon
