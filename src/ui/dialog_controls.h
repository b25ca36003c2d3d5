#pragma once

#include <windows.h>

#include <string>

namespace vigilon {

// Ticks or clears the check box `id` of `dialog`.
void Check(HWND dialog, int id, bool on);
bool Checked(HWND dialog, int id);

// The whole text of a window or control, however long.
std::wstring WindowText(HWND window);

// Moves the focus to the text box `id` with its text selected, ready for another try after a
// refusal.
void FocusBox(HWND dialog, int id);

}  // namespace vigilon
