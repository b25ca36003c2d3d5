#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window_handle.h"

namespace vigilon {

// Special folder numbers.
inline constexpr std::int32_t kCsidlProfile = 40;

// What a start through the shell gave: the shell's result (above 32 on success), and the process
// started, 0 when the shell handed the file to a program already running or cannot tell. A process
// id can be used again once its process has ended: the start time tells the two apart.
struct ExecuteResult {
    std::int32_t code = 0;
    std::uint32_t processId = 0;
    std::uint64_t processStarted = 0;  // as ProcessWatch::ProcessStartTime gives it
};

// The shell: starting programs, special folders and the folder-browse dialog.
class Shell {
public:
    virtual ~Shell() = default;

    // Asks the shell to apply `verb` to `file` with `parameters`, in `directory`, showing the new
    // window with `showCommand`.
    virtual ExecuteResult Execute(WindowHandle owner, std::wstring_view verb, std::wstring_view file,
                                 std::wstring_view parameters, std::wstring_view directory,
                                 std::int32_t showCommand) = 0;

    // The file-system path of special folder `csidl`, without a trailing backslash; empty when
    // the system does not know the folder or it has no file-system path.
    virtual std::wstring SpecialFolderPath(std::int32_t csidl, WindowHandle owner) = 0;

    // Shows the shell's modal folder-browse dialog with `prompt`, opened on `initialPath` when it
    // is not empty, offering files too when `includeFiles` is set. Returns the chosen item's
    // file-system path, or empty when the user cancelled or chose an item without one.
    virtual std::wstring BrowseForFolderDialog(WindowHandle owner, std::wstring_view prompt,
                                               std::wstring_view initialPath, bool includeFiles) = 0;

    // Starts `commandLine` (the program and any arguments) in a normal window that takes the
    // focus, without waiting for it. False when it could not be started.
    virtual bool StartProgram(std::wstring_view commandLine) = 0;
};

}  // namespace vigilon
