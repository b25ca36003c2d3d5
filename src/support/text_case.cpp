#include "support/text_case.h"

#include <algorithm>
#include <span>

#include "support/case_table.h"

namespace vigilon {
namespace {

wchar_t MapCase(std::span<CaseRun const> runs, wchar_t c) {
    auto const code = static_cast<std::uint32_t>(c);
    // The first run that ends at or after `c`; runs never overlap.
    auto const run = std::lower_bound(runs.begin(), runs.end(), code,
                                      [](CaseRun const& r, std::uint32_t value) { return r.last < value; });
    if (run == runs.end() || code < run->first || (code - run->first) % run->stride != 0) return c;
    return static_cast<wchar_t>(static_cast<std::int32_t>(code) + run->delta);
}

}  // namespace

wchar_t ToUpperChar(wchar_t c) { return MapCase(kUpperCaseRuns, c); }

wchar_t ToLowerChar(wchar_t c) { return MapCase(kLowerCaseRuns, c); }

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

bool SameText(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return ToUpperChar(x) == ToUpperChar(y); });
}

}  // namespace vigilon
