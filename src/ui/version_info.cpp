#include "ui/version_info.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vigilon {
namespace {

std::wstring StringValue(std::vector<BYTE> const& block, wchar_t const* name) {
    std::wstring const path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return {};
    return std::wstring(static_cast<wchar_t const*>(value));
}

}  // namespace

ApplicationInfo ReadApplicationInfo() {
    ApplicationInfo info;
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    DWORD ignored = 0;
    DWORD const size = GetFileVersionInfoSizeW(self, &ignored);
    if (size == 0) return info;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(self, 0, size, block.data())) return info;
    info.title = StringValue(block, L"ProductName");
    info.fileDescription = StringValue(block, L"FileDescription");
    info.comments = StringValue(block, L"Comments");
    info.legalNotice = StringValue(block, L"LegalCopyright");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr) {
        info.major = HIWORD(fixed->dwFileVersionMS);
        info.minor = LOWORD(fixed->dwFileVersionMS);
        info.revision = HIWORD(fixed->dwFileVersionLS);
    }
    return info;
}

}  // namespace vigilon
