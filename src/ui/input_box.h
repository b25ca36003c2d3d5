#pragma once

#include <windows.h>

#include <string>

namespace vigilon {

// A modal input box owned by `owner`: the typed text, or empty when it was cancelled.
std::wstring InputBox(HWND owner, HINSTANCE instance, std::wstring const& prompt, std::wstring const& title);

}  // namespace vigilon
