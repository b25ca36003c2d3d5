#include "app/ini_text.h"

#include "support/blanks.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

// A value as the profile functions give it back: one pair of quotes around it comes off.
std::wstring Unquoted(std::wstring_view value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::wstring(value);
}

}  // namespace

std::wstring IniNameKey(std::wstring_view name) { return ToUpperText(TrimSpacesAndTabs(name)); }

std::vector<IniSection> ParseIniText(std::wstring_view text) {
    if (text.starts_with(L'\xFEFF')) text.remove_prefix(1);
    std::vector<IniSection> sections(1);
    int line = 0;
    for (std::size_t start = 0; start <= text.size(); ++line) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view raw = text.substr(start, end - start);
        start = end + 1;
        if (raw.ends_with(L'\r')) raw.remove_suffix(1);
        std::wstring_view const trimmed = TrimSpacesAndTabs(raw);
        if (trimmed.empty() || trimmed.front() == L';' || trimmed.front() == L'#') continue;
        std::size_t const close = trimmed.rfind(L']');
        if (trimmed.front() == L'[' && close != std::wstring_view::npos) {
            sections.push_back({line + 1, std::wstring(trimmed.substr(1, close - 1)), {}});
            continue;
        }
        std::size_t const equals = trimmed.find(L'=');
        if (equals == std::wstring_view::npos) {
            sections.back().entries.push_back({line + 1, std::wstring(trimmed), L"", false});
        } else {
            sections.back().entries.push_back({line + 1, std::wstring(TrimSpacesAndTabs(trimmed.substr(0, equals))),
                                               Unquoted(TrimSpacesAndTabs(trimmed.substr(equals + 1))), true});
        }
    }
    return sections;
}

}  // namespace vigilon
