#include "file_holder.h"

namespace vigilon::testing {

int HoldFile(std::wstring const& path, std::wstring const& ready, std::wstring const& release) {
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    HANDLE const readyEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, ready.c_str());
    HANDLE const releaseEvent = OpenEventW(SYNCHRONIZE, FALSE, release.c_str());
    if (readyEvent == nullptr || releaseEvent == nullptr) return 3;
    SetEvent(readyEvent);
    DWORD const waited = WaitForSingleObject(releaseEvent, 60000);
    CloseHandle(file);
    CloseHandle(readyEvent);
    CloseHandle(releaseEvent);
    return waited == WAIT_OBJECT_0 ? 0 : 4;
}

FileHolder::FileHolder(std::wstring const& path) {
    std::wstring const tag = std::to_wstring(GetCurrentProcessId());
    std::wstring const readyName = L"VigilonHoldReady" + tag;
    std::wstring const releaseName = L"VigilonHoldRelease" + tag;
    ready_ = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
    release_ = CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + kHoldFileSwitch + L" \"" + path + L"\" " +
                               readyName + L" " + releaseName;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process_)) {
        HANDLE const waitFor[] = {ready_, process_.hProcess};
        held_ = WaitForMultipleObjects(2, waitFor, FALSE, 30000) == WAIT_OBJECT_0;
    }
}

FileHolder::~FileHolder() {
    SetEvent(release_);
    if (process_.hProcess != nullptr) {
        WaitForSingleObject(process_.hProcess, 30000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    CloseHandle(ready_);
    CloseHandle(release_);
}

}  // namespace vigilon::testing
