#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace vigilon {

// Shows the About dialog modally, owned by `owner`; built anew each time.
void ShowAboutDialog(HWND owner, HINSTANCE instance, Platform& platform);

}  // namespace vigilon
