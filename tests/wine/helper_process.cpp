#include "helper_process.h"

namespace vigilon::testing {
namespace {

constexpr DWORD kHelperTimeoutMilliseconds = 30000;

}  // namespace

HelperProcess::HelperProcess(std::wstring const& arguments) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_);
}

HelperProcess::~HelperProcess() {
    if (process_.hProcess == nullptr) return;
    WaitForSingleObject(process_.hProcess, kHelperTimeoutMilliseconds);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
}

bool HelperProcess::WaitFor(HANDLE event) const {
    if (process_.hProcess == nullptr) return false;
    HANDLE const waitFor[] = {event, process_.hProcess};
    return WaitForMultipleObjects(2, waitFor, FALSE, kHelperTimeoutMilliseconds) == WAIT_OBJECT_0;
}

}  // namespace vigilon::testing
