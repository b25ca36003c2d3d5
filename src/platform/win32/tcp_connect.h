#pragma once

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

// Opens a TCP connection to `host` on `port`, trying each of the host's addresses within the one
// limit of `timeoutMilliseconds`, and closes it again. Blocks: call it off the user-interface thread.
ConnectOutcome ConnectTcp(std::wstring const& host, int port, int timeoutMilliseconds);

}  // namespace vigilon
