#include "platform/win32/module_path.h"

#include <windows.h>

namespace vigilon {

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD const n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);  // cut short: try again with room for more
    }
}

std::wstring SystemFolderPath() {
    wchar_t folder[MAX_PATH] = L"";
    UINT const n = GetSystemDirectoryW(folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(folder, n) : std::wstring(L"C:\\Windows\\System32");
}

}  // namespace vigilon
