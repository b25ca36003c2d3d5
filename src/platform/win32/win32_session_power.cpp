#include "platform/win32/win32_session_power.h"

#include <windows.h>

#include <cwctype>
#include <iterator>
#include <string>

#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

// The system's words for `error`, with its number.
std::wstring ErrorText(DWORD error) {
    std::wstring const code = L"error " + std::to_wstring(error);
    wchar_t text[256] = L"";
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  static_cast<DWORD>(std::size(text)), nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L'.')) --length;
    if (length == 0) return code;
    return std::wstring(text, length) + L" (" + code + L")";
}

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
        return {false, ErrorText(GetLastError())};
    }
    if (DWORD const error = EnableShutdownPrivilege(); error != ERROR_SUCCESS) return {false, ErrorText(error)};
    std::wstring message(reason);
    // No grace period of the system's own: Vigilon's notice has already counted down.
    DWORD const flags = how == SessionEnd::Reboot ? SHUTDOWN_RESTART : SHUTDOWN_POWEROFF;
    DWORD const error = InitiateShutdownW(nullptr, message.data(), 0, flags, planned);
    if (error == ERROR_SUCCESS) return {true, {}};
    return {false, ErrorText(error)};
}

}  // namespace vigilon
