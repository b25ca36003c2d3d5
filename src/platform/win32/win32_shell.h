#pragma once

#include "platform/shell.h"

namespace vigilon {

class Win32Shell final : public Shell {
public:
    ExecuteResult Execute(WindowHandle owner, std::wstring_view verb, std::wstring_view file,
                         std::wstring_view parameters, std::wstring_view directory,
                         std::int32_t showCommand) override;
    std::wstring SpecialFolderPath(std::int32_t csidl, WindowHandle owner) override;
    std::wstring BrowseForFolderDialog(WindowHandle owner, std::wstring_view prompt,
                                       std::wstring_view initialPath, bool includeFiles) override;
    bool StartProgram(std::wstring_view commandLine) override;
};

}  // namespace vigilon
