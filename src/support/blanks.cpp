#include "support/blanks.h"

namespace vigilon {

std::wstring_view TrimBlanks(std::wstring_view text) {
    std::size_t const first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    std::size_t const last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

std::wstring_view TrimSpacesAndTabs(std::wstring_view text) {
    std::size_t const first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") + 1 - first);
}

}  // namespace vigilon
