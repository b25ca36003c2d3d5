#include "support/field_text.h"

namespace vigilon {

void AppendField(std::wstring& line, std::wstring_view text) {
    for (wchar_t c : text) line.push_back(c == L'\t' || c == L'\r' || c == L'\n' ? L' ' : c);
}

}  // namespace vigilon
