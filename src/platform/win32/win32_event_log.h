#pragma once

#include <windows.h>

#include "platform/event_log.h"

namespace vigilon {

// The Application event log through RegisterEventSourceW, opened on first use and closed at the
// end. The entries' messages come from the message table in this exe, which Event Viewer finds
// once the source is registered (/registereventsource).
class Win32EventLog final : public EventLog {
public:
    static constexpr wchar_t kSource[] = L"Vigilon";

    Win32EventLog() = default;
    Win32EventLog(Win32EventLog const&) = delete;
    Win32EventLog& operator=(Win32EventLog const&) = delete;
    ~Win32EventLog() override;

    bool Write(std::uint16_t type, std::uint32_t messageId, std::wstring_view program,
               std::wstring_view details) override;

private:
    HANDLE source_ = nullptr;
    bool opened_ = false;
};

// Registers this exe as the source "Vigilon" of the Application log (its message file), or forgets
// the source. Needs an administrator. The system's error code: 0 on success.
long RegisterAsEventSource(std::wstring const& exePath);
long UnregisterAsEventSource();

}  // namespace vigilon
