#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace vigilon::testing {

class FakeShell final : public Shell {
public:
    struct Launch {
        WindowHandle owner;
        std::wstring verb, file, parameters, directory;
        std::int32_t showCommand;
    };

    std::vector<Launch> launches;
    std::int32_t result = 42;
    std::uint32_t processId = 0;        // the process each start reports
    std::uint64_t processStarted = 0;   // and when it started
    // Runs after each launch, for example to open the started program's window.
    std::function<void(Launch const&)> onLaunch;
    std::wstring profileFolder = L"C:\\Users\\me";
    std::wstring browseResult;
    std::vector<std::wstring> browseInitialPaths;
    std::function<void()> onBrowse;  // runs while the dialog is open, which may change directory
    std::vector<std::wstring> started;
    bool startSucceeds = true;

    ExecuteResult Execute(WindowHandle owner, std::wstring_view verb, std::wstring_view file,
                          std::wstring_view parameters, std::wstring_view directory,
                          std::int32_t showCommand) override {
        launches.push_back({owner, std::wstring(verb), std::wstring(file), std::wstring(parameters),
                            std::wstring(directory), showCommand});
        if (onLaunch) onLaunch(launches.back());
        if (result <= 32) return {result, 0, 0};
        return {result, processId, processStarted};
    }
    std::wstring SpecialFolderPath(std::int32_t csidl, WindowHandle) override {
        return csidl == kCsidlProfile ? profileFolder : std::wstring();
    }
    std::wstring BrowseForFolderDialog(WindowHandle, std::wstring_view, std::wstring_view initialPath,
                                       bool) override {
        browseInitialPaths.emplace_back(initialPath);
        if (onBrowse) onBrowse();
        return browseResult;
    }
    bool StartProgram(std::wstring_view commandLine) override {
        started.emplace_back(commandLine);
        return startSucceeds && !commandLine.empty();
    }
};

}  // namespace vigilon::testing
