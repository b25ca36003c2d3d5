#include "platform/win32/win32_error_text.h"

#include <iterator>
#include <string>

namespace vigilon {

std::wstring SystemErrorText(DWORD error) {
    std::wstring const code = L"error " + std::to_wstring(error);
    wchar_t text[256] = L"";
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  static_cast<DWORD>(std::size(text)), nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L'.')) --length;
    if (length == 0) return code;
    return std::wstring(text, length) + L" (" + code + L")";
}

}  // namespace vigilon
