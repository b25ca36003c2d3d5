#pragma once

#include <windows.h>

#include <string>

namespace vigilon {

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

}  // namespace vigilon
