#include "platform/win32/process_image_path.h"

#include "platform/win32/win32_owners.h"

namespace vigilon {

std::wstring ProcessImagePathOf(DWORD processId) {
    UniqueKernelHandle const process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    std::wstring path(32768, L'\0');  // the longest path the system takes
    DWORD size = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process.Get(), 0, path.data(), &size)) return {};
    path.resize(size);
    return path;
}

}  // namespace vigilon
