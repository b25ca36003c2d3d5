#pragma once

#include <climits>
#include <string>

namespace vigilon {

// How a TCP connection attempt ended.
enum class ConnectOutcome {
    Connected,
    Refused,       // the host answered that nothing listens on the port
    TimedOut,      // no answer within the time allowed
    NameNotFound,  // the host's name could not be resolved
    Failed,        // anything else: no sockets, no route, an address of the wrong family
};

// How long a connection attempt may take: each address of the name at most `perAddressMilliseconds`,
// and all of them, the name's lookup included, at most `totalMilliseconds`.
struct ConnectLimits {
    int perAddressMilliseconds = INT_MAX;
    int totalMilliseconds = INT_MAX;  // INT_MAX: no limit over all
};

// The time the next address gets: its share of what is `left` of the total among the `untried`
// addresses (itself included), but at least a floor so that one is not given too little to answer,
// and never more than the per-address limit or what is left.
int AddressMilliseconds(ConnectLimits const& limits, int left, int untried);

// Opens a TCP connection to `host` on `port`, trying the host's addresses in turn within `limits`,
// and closes it again. Blocks: call it off the user-interface thread.
ConnectOutcome ConnectTcp(std::wstring const& host, int port, ConnectLimits const& limits);

}  // namespace vigilon
