#pragma once

#include <cstdint>
#include <string_view>

namespace vigilon {

// What goes wrong, or right again, that someone away from the PC is told of: in the Windows
// event log and through the user's command. Vigilon's own events have no program.
enum class TroubleKind : std::uint8_t {
    Started,            // Vigilon started
    Exited,             // Vigilon ended
    Scheduled,          // a daily restart
    Recovered,          // a program ran five minutes after its trouble
    Gone,               // a program was gone, and is started again
    Hung,               // a program stopped answering
    Ended,              // a program's process was ended
    Memory,             // a program was over its memory limit for a minute
    LongestBackoff,     // a program keeps ending soon after its start: every 5 minutes now
    HistoryUnwritable,  // the event history cannot be written
    RestartHeld,        // a rule restarted a program 3 times in the hour for one reason: the next is held
    MissingFile,        // a program's executable or jar is missing
    LaunchFailed,       // the shell refused to start a program
    NotEnded,           // a program that should have been ended could not be
    MetricsUnwritable,  // the metrics file cannot be written
    HeartbeatFailed,    // the heartbeat URL could not be requested, or did not answer with success
    Unhealthy,          // a program's health check failed as many times in a row as it allows
    Escalate,           // a program's troubles reached a step of its escalation ladder, or the scheduled restart came
    Cancelled,          // the countdown before a logoff, restart or shutdown was cancelled
    EscalationHeld,     // a logoff, restart or shutdown was kept back by the lockout
    Refused,            // the system refused to log off, restart or shut down
    AlertFailed,        // an alert could not be delivered to AlertUrl, retries included
    HoursOff,           // a program's opening hours ended: it is closed, or not started, until they begin
    HoursOn,            // a program's opening hours began, or a person started it outside them
    Idle,               // nobody used the PC for a program's IdleRestart minutes: it is restarted
};

enum class EventType : std::uint8_t { Information, Warning, Error };

struct TroubleInfo {
    std::uint16_t eventId;   // the event's id in the Application log, and in the message table
    EventType type;
    std::wstring_view word;  // the history's event word, as the user's command gets it
};

TroubleInfo Describe(TroubleKind kind);

// The full message id the message table gives the event: its severity over its id.
std::uint32_t MessageId(TroubleInfo const& info);

// The kind's name where kinds are counted (three kinds share the history's word `message`).
std::wstring_view TroubleName(TroubleKind kind);

// A problem, for which the user's command runs: a warning or an error, and Recovered.
bool IsProblem(TroubleKind kind);

// Every kind, for the tests that hold the message table to them.
inline constexpr TroubleKind kAllTroubles[] = {
    TroubleKind::Started, TroubleKind::Exited,         TroubleKind::Scheduled,         TroubleKind::Recovered,
    TroubleKind::Gone,    TroubleKind::Hung,           TroubleKind::Ended,             TroubleKind::Memory,
    TroubleKind::LongestBackoff, TroubleKind::HistoryUnwritable, TroubleKind::RestartHeld, TroubleKind::MissingFile,
    TroubleKind::LaunchFailed,   TroubleKind::NotEnded,          TroubleKind::MetricsUnwritable,
    TroubleKind::HeartbeatFailed, TroubleKind::Unhealthy, TroubleKind::Escalate, TroubleKind::Cancelled,
    TroubleKind::EscalationHeld, TroubleKind::Refused,     TroubleKind::AlertFailed,
    TroubleKind::HoursOff,       TroubleKind::HoursOn,     TroubleKind::Idle,
};

}  // namespace vigilon
