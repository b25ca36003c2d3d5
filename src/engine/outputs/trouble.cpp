#include "engine/outputs/trouble.h"

namespace vigilon {

TroubleInfo Describe(TroubleKind kind) {
    using enum EventType;
    switch (kind) {
    case TroubleKind::Started: return {100, Information, L"start"};
    case TroubleKind::Exited: return {101, Information, L"exit"};
    case TroubleKind::Scheduled: return {102, Information, L"scheduled"};
    case TroubleKind::Recovered: return {103, Information, L"recovered"};
    case TroubleKind::Gone: return {200, Warning, L"gone"};
    case TroubleKind::Hung: return {201, Warning, L"hung"};
    case TroubleKind::Ended: return {202, Warning, L"ended"};
    case TroubleKind::Memory: return {203, Warning, L"memory"};
    case TroubleKind::LongestBackoff: return {204, Warning, L"backoff"};
    case TroubleKind::HistoryUnwritable: return {205, Warning, L"history"};
    case TroubleKind::RestartHeld: return {206, Warning, L"held"};
    case TroubleKind::Unhealthy: return {207, Warning, L"unhealthy"};
    case TroubleKind::Escalate: return {208, Warning, L"escalate"};
    case TroubleKind::Cancelled: return {209, Warning, L"cancelled"};
    case TroubleKind::EscalationHeld: return {210, Warning, L"held"};
    case TroubleKind::Refused: return {211, Warning, L"refused"};
    case TroubleKind::HeartbeatFailed: return {2120, Warning, L"heartbeat"};
    case TroubleKind::MissingFile: return {300, Error, L"message"};
    case TroubleKind::LaunchFailed: return {301, Error, L"message"};
    case TroubleKind::NotEnded: return {302, Error, L"message"};
    case TroubleKind::MetricsUnwritable: return {2100, Warning, L"metrics"};
    case TroubleKind::AlertFailed: return {2130, Warning, L"alert"};
    case TroubleKind::HoursOff: return {104, Information, L"off"};
    case TroubleKind::HoursOn: return {105, Information, L"on"};
    case TroubleKind::Idle: return {106, Information, L"idle"};
    }
    return {0, Information, L""};
}

std::uint32_t MessageId(TroubleInfo const& info) {
    // The severity the message compiler puts in the top two bits: informational 1, warning 2, error 3.
    std::uint32_t const severity = info.type == EventType::Information ? 1u : info.type == EventType::Warning ? 2u : 3u;
    return (severity << 30) | info.eventId;
}

std::wstring_view TroubleName(TroubleKind kind) {
    switch (kind) {
    case TroubleKind::MissingFile: return L"missing file";
    case TroubleKind::LaunchFailed: return L"refused start";
    case TroubleKind::NotEnded: return L"not ended";
    case TroubleKind::EscalationHeld: return L"escalation held";
    default: return Describe(kind).word;
    }
}

bool IsProblem(TroubleKind kind) {
    return kind == TroubleKind::Recovered || Describe(kind).type != EventType::Information;
}

}  // namespace vigilon
