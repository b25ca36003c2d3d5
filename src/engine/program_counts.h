#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vigilon {

// Why Vigilon restarted a program, as the metrics count it.
// Hours: closed at the end of its opening hours (not started again until they begin).
enum class RestartCause : std::uint8_t { Hang, Memory, Daily, Asked, Check, Hours, Idle };
inline constexpr RestartCause kAllRestartCauses[] = {RestartCause::Hang,  RestartCause::Memory, RestartCause::Daily,
                                                     RestartCause::Asked, RestartCause::Check,  RestartCause::Hours,
                                                     RestartCause::Idle};

// How a program's process ended of its own accord: with exit code 0, or any other (a crash ends
// with an exception code such as 0xC0000005).
enum class ExitKind : std::uint8_t { Normal, Crash };
inline constexpr ExitKind kAllExitKinds[] = {ExitKind::Normal, ExitKind::Crash};

// The fixed words of the metrics' labels.
constexpr std::wstring_view CauseWord(RestartCause cause) {
    switch (cause) {
    case RestartCause::Hang: return L"hang";
    case RestartCause::Memory: return L"memory";
    case RestartCause::Daily: return L"daily";
    case RestartCause::Asked: return L"asked";
    case RestartCause::Check: return L"check";
    case RestartCause::Hours: return L"hours";
    case RestartCause::Idle: return L"idle";
    }
    return L"";
}
constexpr std::wstring_view ExitWord(ExitKind kind) { return kind == ExitKind::Normal ? L"normal" : L"crash"; }

// A program's restarts and exits since Vigilon started.
struct ProgramCounts {
    std::array<std::uint64_t, std::size(kAllRestartCauses)> restarts{};
    std::array<std::uint64_t, std::size(kAllExitKinds)> exits{};

    void Restarted(RestartCause cause) { ++restarts[static_cast<std::size_t>(cause)]; }
    void Exited(ExitKind kind) { ++exits[static_cast<std::size_t>(kind)]; }
    std::uint64_t Restarts(RestartCause cause) const { return restarts[static_cast<std::size_t>(cause)]; }
    std::uint64_t Exits(ExitKind kind) const { return exits[static_cast<std::size_t>(kind)]; }

    bool operator==(ProgramCounts const&) const = default;
};

}  // namespace vigilon
