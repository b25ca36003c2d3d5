#include <windows.h>

#include <string>

#include "app/settings.h"
#include "app/watched_programs.h"
#include "platform/win32/win32_platform.h"
#include "support/file_utils.h"

namespace {

// The folder that holds this executable, without a trailing backslash.
std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD const n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.rfind(L'\\'));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    vigilon::Win32Platform platform;
    std::wstring const folder = ProgramFolder();
    vigilon::ChangeDirectory(platform.files, folder + L"\\");
    vigilon::SettingsFile const settings(platform.profile, folder + L"\\vigilon.ini");
    vigilon::WatchedPrograms programs;
    vigilon::LoadSettings(settings, platform.registry, programs);
    return 0;
}
