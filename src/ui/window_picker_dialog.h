#pragma once

#include <windows.h>

#include <optional>

#include "platform/window_survey.h"
#include "ui/window_picker_logic.h"

namespace vigilon {

// Shows New from a Window modally, owned by `owner`: the windows `survey` finds, looked over anew
// every second while it is open. Returns the window chosen and how, or nothing when cancelled.
std::optional<WindowChoice> ShowWindowPicker(HWND owner, HINSTANCE instance, WindowSurvey& survey);

}  // namespace vigilon
