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
    ready_.Reset(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
    release_.Reset(CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str()));
    helper_ = std::make_unique<HelperProcess>(std::wstring(kHoldFileSwitch) + L" \"" + path + L"\" " + readyName +
                                              L" " + releaseName);
    held_ = helper_->WaitFor(ready_.Get());
}

FileHolder::~FileHolder() { SetEvent(release_.Get()); }

}  // namespace vigilon::testing
