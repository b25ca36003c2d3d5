#include "platform/win32/win32_session_power.h"

#include <windows.h>

#include <string>

#include "platform/win32/win32_error_text.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

// Enables the right to shut the system down in this process's token; the error when it cannot.
DWORD EnableShutdownPrivilege() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive())) return GetLastError();
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) return GetLastError();
    // Succeeds also when the right is not held: the error then says so.
    if (!AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr)) return GetLastError();
    return GetLastError();
}

}  // namespace

std::int64_t Win32SessionPower::UptimeMilliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

SessionEndResult Win32SessionPower::EndSession(SessionEnd how, std::wstring_view reason) {
    DWORD const planned = SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_MAINTENANCE | SHTDN_REASON_FLAG_PLANNED;
    if (how == SessionEnd::Logoff) {
        if (ExitWindowsEx(EWX_LOGOFF, planned)) return {true, {}};
        return {false, SystemErrorText(GetLastError())};
    }
    if (DWORD const error = EnableShutdownPrivilege(); error != ERROR_SUCCESS) return {false, SystemErrorText(error)};
    std::wstring message(reason);
    // No grace period of the system's own: Vigilon's notice has already counted down.
    DWORD const flags = how == SessionEnd::Reboot ? SHUTDOWN_RESTART : SHUTDOWN_POWEROFF;
    DWORD const error = InitiateShutdownW(nullptr, message.data(), 0, flags, planned);
    if (error == ERROR_SUCCESS) return {true, {}};
    return {false, SystemErrorText(error)};
}

}  // namespace vigilon
