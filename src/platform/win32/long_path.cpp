#include "platform/win32/long_path.h"

#include <windows.h>

#include "platform/win32/growing_buffer.h"

namespace vigilon {

std::wstring LongFullPathOf(std::wstring_view path) {
    std::wstring const given(path);
    std::wstring const full = GrowingBuffer(
        [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(given.c_str(), size, buffer, nullptr); });
    if (full.empty()) return given;
    // A share is not read: one that is offline would hold the caller up for as long as the network
    // takes to give up.
    if (full.starts_with(L"\\\\")) return full;
    std::wstring const longPath =
        GrowingBuffer([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(full.c_str(), buffer, size); });
    return longPath.empty() ? full : longPath;
}

}  // namespace vigilon
