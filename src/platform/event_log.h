#pragma once

#include <cstdint>
#include <string_view>

namespace vigilon {

inline constexpr std::uint16_t kEventLogInformation = 4;  // EVENTLOG_INFORMATION_TYPE
inline constexpr std::uint16_t kEventLogWarning = 2;      // EVENTLOG_WARNING_TYPE
inline constexpr std::uint16_t kEventLogError = 1;        // EVENTLOG_ERROR_TYPE

// The Windows Application event log, under the source "Vigilon".
class EventLog {
public:
    virtual ~EventLog() = default;

    // Writes one entry of `type` with the message `messageId` of the program's message table, and
    // two strings for it: the program's name and the details. False when it could not be written.
    virtual bool Write(std::uint16_t type, std::uint32_t messageId, std::wstring_view program,
                       std::wstring_view details) = 0;
};

}  // namespace vigilon
