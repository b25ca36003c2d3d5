#pragma once

#include <string>

namespace vigilon::testing {

inline constexpr wchar_t kHoldFileSwitch[] = L"--hold-file";

// Opens `path` without sharing, signals the event `ready`, waits for the event `release`, then
// closes the file. Returns 0 on success.
int HoldFile(std::wstring const& path, std::wstring const& ready, std::wstring const& release);

}  // namespace vigilon::testing
