#include "ui/version_info.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "platform/win32/win32_owners.h"
#include "support/version_resource.h"

namespace vigilon {
namespace {

wchar_t const kStringTable[] = L"040904B0";

// The version resource of a loaded module, as it lies in memory; empty when it has none.
std::span<std::uint8_t const> VersionResourceOf(HMODULE module) {
    HRSRC const found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    if (found == nullptr) return {};
    HGLOBAL const loaded = LoadResource(module, found);
    void const* const data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return {static_cast<std::uint8_t const*>(data), SizeofResource(module, found)};
}

}  // namespace

ApplicationInfo ReadApplicationInfo() {
    ApplicationInfo info;
    std::span<std::uint8_t const> const resource = VersionResourceOf(GetModuleHandleW(nullptr));
    auto text = [&](wchar_t const* name) { return VersionString(resource, kStringTable, name).value_or(L""); };
    info.title = text(L"ProductName");
    info.fileDescription = text(L"FileDescription");
    info.comments = text(L"Comments");
    info.legalNotice = text(L"LegalCopyright");
    if (std::optional<FileVersion> const version = VersionNumbers(resource)) {
        info.major = version->major;
        info.minor = version->minor;
        info.revision = version->build;
    }
    return info;
}

std::wstring ImageProductName(std::wstring const& path) {
    // Mapped as data and resources only.
    UniqueModule const image(
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image) return {};
    return VersionString(VersionResourceOf(image.Get()), kStringTable, L"ProductName").value_or(L"");
}

}  // namespace vigilon
