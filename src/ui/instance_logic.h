#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/remote_command.h"

namespace vigilon {

// How a start found the single-instance mutex.
enum class InstanceClaim : std::uint8_t {
    First,    // this start made it: no other copy runs
    Taken,    // another copy made it and may be asked
    Refused,  // it could not be made nor opened: made by a copy that runs elevated or as another account
};

// Any outcome but a mutex made by this start means that another copy runs: taking a refusal for a
// first start would let two copies start, relaunch and end the same programs and write one file.
// `created` tells whether a handle came back; `lastError` is the error read right after the call.
InstanceClaim ClaimFromMutex(bool created, std::uint32_t lastError);

// What a start that gives way writes in the history; `windowSeen` tells whether the other copy's
// window could be found.
std::wstring GaveWayDetails(InstanceClaim claim, bool windowSeen);

// What it tells the user when it cannot see the other copy's window, so that the start does not
// seem lost; empty when the other copy's window is there to show that Vigilon runs.
std::wstring GaveWayNotice(InstanceClaim claim, bool windowSeen);

// What a command from a script learns of the window that answers it.
struct AnswererFacts {
    std::optional<std::uint32_t> holder;  // the process that holds the instance, as it published it
    std::uint32_t windowProcess = 0;      // the process that owns the answering window
    std::wstring product;                 // the product name in that process's executable
};

// An answer is believed only from a window of the process that holds the instance, whose image is
// a Vigilon exe: any program can make a window of Vigilon's class, or the mutex first.
bool TrustedAnswerer(AnswererFacts const& facts);

// The answer a reply holds, when it came from a trusted window (its facts) and has the answer's
// shape; nothing otherwise.
std::optional<RemoteAnswer> AcceptAnswer(AnswererFacts const& sender, std::span<std::uint8_t const> bytes);

}  // namespace vigilon
