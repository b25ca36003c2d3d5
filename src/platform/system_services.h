#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vigilon {

struct OsVersion {
    std::uint32_t platformId = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

inline constexpr std::uint32_t kVerPlatformWin32Windows = 1;
inline constexpr std::uint32_t kVerPlatformWin32Nt = 2;

enum class SoundResult : std::uint8_t {
    Played,
    NotPlayed,       // the sound service ran but played nothing
    ServiceMissing,  // the sound service could not be called at all
};

inline constexpr std::uint32_t kSndAsync = 0x0001;

// Error mode flags: no Windows Error Reporting dialog when a process crashes.
inline constexpr std::uint32_t kSemNoGpFaultErrorBox = 0x0002;

// Message boxes, sounds and the system version.
class SystemServices {
public:
    virtual ~SystemServices() = default;

    // Shows a modal message box and returns the number of the button pressed (1 for OK).
    virtual int ShowMessageBox(std::wstring_view text, std::wstring_view title,
                               std::uint32_t style) = 0;

    virtual SoundResult PlaySystemSound(std::wstring_view alias, std::uint32_t flags) = 0;
    virtual void SoundBeep() = 0;

    // Fills `version`; false (and `version` left zeroed) when the system cannot tell.
    virtual bool QueryVersion(OsVersion& version) = 0;

    // Sets this process's error mode, which the processes it starts inherit, and returns the
    // one it had.
    virtual std::uint32_t SetProcessErrorMode(std::uint32_t mode) = 0;

    // The computer's name; empty when it cannot be read.
    virtual std::wstring ComputerName() = 0;

    // The value of this process's environment variable `name` (case ignored); nothing when it is
    // not set.
    virtual std::optional<std::wstring> EnvironmentVariable(std::wstring_view name) = 0;

    // The milliseconds since this session's last keyboard or mouse input; nothing when the system
    // cannot tell.
    virtual std::optional<std::int64_t> IdleMilliseconds() = 0;

    // Puts the displays into power saving, or wakes them. Asked, never waited for: nothing here
    // counts as a person's input.
    virtual void SetDisplaysAsleep(bool asleep) = 0;
};

}  // namespace vigilon
