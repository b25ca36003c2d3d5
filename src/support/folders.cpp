#include "support/folders.h"

#include "support/file_utils.h"

namespace vigilon {

std::wstring StripBackslash(std::wstring_view path) {
    if (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
    return std::wstring(path);
}

std::wstring GetSpecialFolderPath(Shell& shell, std::int32_t csidl, WindowHandle owner) {
    std::wstring path = shell.SpecialFolderPath(csidl, owner);
    if (!path.empty()) path += L'\\';
    return path;
}

std::wstring BrowseForFolder(Shell& shell, FileSystem& files, WindowHandle owner,
                             std::wstring_view prompt, std::wstring_view initialPath,
                             bool includeFiles) {
    std::wstring const before = files.WorkingDirectory();
    std::wstring const initial = initialPath.empty() ? std::wstring() : StripBackslash(initialPath);
    std::wstring result = shell.BrowseForFolderDialog(owner, prompt, initial, includeFiles);
    ChangeDirectory(files, before);
    return result;
}

}  // namespace vigilon
