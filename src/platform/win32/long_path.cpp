#include "platform/win32/long_path.h"

#include <windows.h>

namespace vigilon {

namespace {

// Calls `get` with a buffer that grows until the text fits: `get` returns the characters it
// wrote, or the size it needs (terminator counted) when the buffer was too small, or 0 on failure.
template <typename Get>
std::wstring GrowingBuffer(Get get) {
    std::wstring text(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD const n = get(text.data(), static_cast<DWORD>(text.size()));
        if (n == 0) return {};
        if (n < text.size()) {
            text.resize(n);
            return text;
        }
        text.resize(n);
    }
    return {};
}

}  // namespace

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
