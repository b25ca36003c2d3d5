#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window_handle.h"

namespace vigilon {

// One visible top-level window as the user sees it, with what is known of its program.
struct SurveyedWindow {
    WindowHandle window = 0;
    std::wstring caption;
    std::wstring className;
    std::uint32_t processId = 0;
    std::wstring imagePath;        // the full path of its process's executable; empty when it cannot be read
    std::wstring fileDescription;  // the executable's FileDescription; empty when it has none or is not read yet
    bool captionCut = false;       // the caption was longer than the survey reads: its end is missing
};

// The visible top-level windows of this session, and the two processes whose windows are no
// program a user would watch: Vigilon's own and the shell's.
struct WindowSurveyResult {
    std::vector<SurveyedWindow> windows;  // in the system's enumeration order
    std::uint32_t ownProcessId = 0;
    std::uint32_t shellProcessId = 0;  // 0 when no shell runs
};

// Looks over the desktop for a user choosing a window. Nothing is asked of a window's program, so
// a program that has stopped responding is listed like any other; what could wait on a file (a
// description read from an executable on a share) comes later, at a following survey.
class WindowSurvey {
public:
    virtual ~WindowSurvey() = default;
    virtual WindowSurveyResult Survey() = 0;
};

}  // namespace vigilon
