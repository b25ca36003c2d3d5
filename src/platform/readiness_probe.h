#pragma once

#include <cstdint>
#include <string>

namespace vigilon {

enum class ProbeResult : std::uint8_t {
    Pending,  // the check is still under way
    There,    // the path exists, or the connection was taken
    Missing,  // the path does not exist, or no connection could be made
};

// Checks whether something a program needs before it starts is there: a path (a folder, a file on a
// share) or a TCP server. Each check runs on another thread, so a share that does not answer or a
// connection that is never refused holds up nothing on the user-interface thread; the caller asks
// for the result later.
class ReadinessProbe {
public:
    virtual ~ReadinessProbe() = default;

    // Begins a check: that `path` exists when it is not empty, otherwise that `host` takes a TCP
    // connection on `port`. Returns the check's ticket, never 0. A connection is given up after a
    // few seconds; a path takes as long as the system takes to answer for it.
    virtual std::uint32_t Begin(std::wstring const& path, std::wstring const& host, int port) = 0;

    // The check's result. Once it is There or Missing the ticket is forgotten; an unknown ticket
    // is Missing.
    virtual ProbeResult Take(std::uint32_t ticket) = 0;

    // The result is no longer wanted: the ticket is forgotten, and a check under way ends unseen.
    virtual void Drop(std::uint32_t ticket) = 0;
};

}  // namespace vigilon
