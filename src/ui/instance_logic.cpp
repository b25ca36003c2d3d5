#include "ui/instance_logic.h"

#include "support/application_title.h"

namespace vigilon {
namespace {

constexpr std::uint32_t kErrorAlreadyExists = 183;

}  // namespace

InstanceClaim ClaimFromMutex(bool created, std::uint32_t lastError) {
    if (!created) return InstanceClaim::Refused;
    return lastError == kErrorAlreadyExists ? InstanceClaim::Taken : InstanceClaim::First;
}

std::wstring GaveWayDetails(InstanceClaim claim, bool windowSeen) {
    std::wstring details = L"another copy of Vigilon runs in this session";
    if (claim == InstanceClaim::Refused) details += L" as an administrator or as another user";
    if (!windowSeen) details += L" (its window cannot be found)";
    return details + L"; this start ended without watching";
}

std::wstring GaveWayNotice(InstanceClaim claim, bool windowSeen) {
    if (windowSeen) return {};
    return std::wstring(L"Vigilon did not start: another copy already runs in this session") +
           (claim == InstanceClaim::Refused ? L", as an administrator or as another user" : L"") +
           L".\r\nEnd that copy first, or start this one as that copy runs.";
}

bool TrustedAnswerer(AnswererFacts const& facts) {
    return facts.holder && *facts.holder != 0 && facts.windowProcess == *facts.holder &&
           facts.product == kApplicationTitle;
}

std::optional<RemoteAnswer> AcceptAnswer(AnswererFacts const& sender, std::span<std::uint8_t const> bytes) {
    if (!TrustedAnswerer(sender)) return std::nullopt;
    return DecodeAnswer(bytes);
}

}  // namespace vigilon
