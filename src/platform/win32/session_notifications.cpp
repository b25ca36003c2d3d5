#include "platform/win32/session_notifications.h"

#include "platform/win32/system_function.h"

namespace vigilon {
namespace {

// From wtsapi32.h, which is not included so that the library is not imported at load time.
using RegisterFunction = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterFunction = BOOL(WINAPI*)(HWND);
DWORD const kNotifyForThisSession = 0;
WPARAM const kConsoleConnect = 0x1;
WPARAM const kRemoteConnect = 0x3;
WPARAM const kSessionUnlock = 0x8;

HMODULE SessionLibrary() {
    static HMODULE const library = LoadLibraryExW(L"wtsapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library;
}

template <typename Function>
Function Find(char const* name) {
    return SystemFunction<Function>(SessionLibrary(), name);
}

}  // namespace

SessionNotifications::~SessionNotifications() {
    if (window_ == nullptr) return;
    if (auto const unregister = Find<UnregisterFunction>("WTSUnRegisterSessionNotification")) unregister(window_);
}

bool SessionNotifications::Register(HWND window) {
    auto const registerFor = Find<RegisterFunction>("WTSRegisterSessionNotification");
    if (registerFor == nullptr || !registerFor(window, kNotifyForThisSession)) return false;
    window_ = window;
    return true;
}

bool SessionNotifications::ScreenCameBack(WPARAM change) {
    return change == kSessionUnlock || change == kConsoleConnect || change == kRemoteConnect;
}

}  // namespace vigilon
