#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace vigilon {

// An ASCII digit: the only digits a number in the settings or a typed box may hold.
inline bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The number a text of one to `maxDigits` digits and nothing else stands for (at most nine
// digits, so it fits an int); -1 when the text is not one.
inline int SmallNumber(std::wstring_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return -1;
    int value = 0;
    for (wchar_t const c : text) {
        if (!IsDigit(c)) return -1;
        value = value * 10 + (c - L'0');
    }
    return value;
}

// The number the digits at the start of `text` stand for, after spaces and tabs, as a number key
// is read leniently ("30s" is 30); held to `most`, so a long run cannot overflow. -1 when no
// digit leads.
inline int LeadingNumber(std::wstring_view text, int most) {
    std::size_t i = std::min(text.find_first_not_of(L" \t"), text.size());
    if (i == text.size() || !IsDigit(text[i])) return -1;
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) value = std::min<long long>(value * 10 + (text[i] - L'0'), most);
    return static_cast<int>(value);
}

}  // namespace vigilon
