#include "platform/win32/win32_system_services.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/win32/system_function.h"

namespace vigilon {
namespace {

using SndPlaySoundW = BOOL(WINAPI*)(LPCWSTR, UINT);

// The sound library is loaded on first use, from the system folder only, and stays loaded for the
// life of the process: an asynchronous sound goes on playing after the call returns.
SndPlaySoundW SoundFunction() {
    static SndPlaySoundW const function =
        SystemFunction<SndPlaySoundW>(LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "sndPlaySoundW");
    return function;
}

}  // namespace

int Win32SystemServices::ShowMessageBox(std::wstring_view text, std::wstring_view title,
                                        std::uint32_t style) {
    HWND const owner = owner_ != nullptr && IsWindowVisible(owner_) ? GetLastActivePopup(owner_) : nullptr;
    // A box without an owner stands above every window, also a program kept on top: while it is up
    // watching waits for its answer, and one hidden under a kiosk window would never be answered.
    UINT const topmost = owner == nullptr ? MB_TOPMOST : 0;
    return MessageBoxW(owner, std::wstring(text).c_str(), std::wstring(title).c_str(), style | topmost);
}

SoundResult Win32SystemServices::PlaySystemSound(std::wstring_view alias, std::uint32_t flags) {
    SndPlaySoundW const play = SoundFunction();
    if (play == nullptr) return SoundResult::ServiceMissing;
    return play(std::wstring(alias).c_str(), flags) ? SoundResult::Played : SoundResult::NotPlayed;
}

void Win32SystemServices::SoundBeep() { MessageBeep(0xFFFFFFFF); }

std::uint32_t Win32SystemServices::SetProcessErrorMode(std::uint32_t mode) { return SetErrorMode(mode); }

std::wstring Win32SystemServices::ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? std::wstring(name, size) : std::wstring();
}

std::optional<std::wstring> Win32SystemServices::EnvironmentVariable(std::wstring_view name) {
    std::wstring const wanted(name);
    // The size with its terminator; 0 when the variable is not set (an empty one gives 1).
    DWORD const size = GetEnvironmentVariableW(wanted.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    SetLastError(ERROR_SUCCESS);  // an empty value reads as 0 characters without an error of its own
    DWORD const length = GetEnvironmentVariableW(wanted.c_str(), value.data(), size);
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    value.resize(length < size ? length : 0);
    return value;
}

bool Win32SystemServices::QueryVersion(OsVersion& version) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // GetVersionExW is deprecated but still tells the platform apart
#endif
    BOOL const ok = GetVersionExW(&info);
    if (!ok) {
        version = OsVersion{};
        return false;
    }
    version.platformId = info.dwPlatformId;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    return true;
}

std::optional<std::int64_t> Win32SystemServices::IdleMilliseconds() {
    LASTINPUTINFO info{};
    info.cbSize = sizeof(info);
    if (GetLastInputInfo(&info) == FALSE) return std::nullopt;
    // Both tick counts wrap after 49.7 days: their difference in 32 bits is right across the wrap.
    // Read signed, an input stamped just after the tick count was read is no idle time, not 49 days.
    return std::max<std::int32_t>(0, static_cast<std::int32_t>(GetTickCount() - info.dwTime));
}

void Win32SystemServices::SetDisplaysAsleep(bool asleep) {
    // Posted, never sent: a window that does not answer must not hold this thread. 2 puts the
    // displays into power saving, -1 turns them on; no input is made up to wake them, since that
    // would count as a person's use of the PC.
    LPARAM const power = asleep ? 2 : -1;
    if (!asleep) SetThreadExecutionState(ES_DISPLAY_REQUIRED);
    PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, power);
}

}  // namespace vigilon
