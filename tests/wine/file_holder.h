#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "helper_process.h"
#include "platform/win32/win32_owners.h"

namespace vigilon::testing {

inline constexpr wchar_t kHoldFileSwitch[] = L"--hold-file";

// Opens `path` without sharing, signals the event `ready`, waits for the event `release`, then
// closes the file. Returns 0 on success. Run in the helper process that FileHolder starts.
int HoldFile(std::wstring const& path, std::wstring const& ready, std::wstring const& release);

// Another process that holds a file open without sharing until the object goes away.
class FileHolder {
public:
    explicit FileHolder(std::wstring const& path);
    FileHolder(FileHolder const&) = delete;
    FileHolder& operator=(FileHolder const&) = delete;
    ~FileHolder();
    bool Held() const { return held_; }

private:
    UniqueKernelHandle ready_;
    UniqueKernelHandle release_;
    std::unique_ptr<HelperProcess> helper_;  // ends before the events are closed
    bool held_ = false;
};

}  // namespace vigilon::testing
