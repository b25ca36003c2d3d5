#include "platform/win32/tcp_connect.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <chrono>

#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

using UniqueSocket = Owned<SOCKET, ReleaseWith<closesocket>, INVALID_SOCKET>;
using AddressList = Owned<ADDRINFOW*, ReleaseWith<FreeAddrInfoW>>;  // from GetAddrInfoW

// The socket library, started and ended again with the scope.
class Winsock {
public:
    Winsock() : started_(WSAStartup(MAKEWORD(2, 2), &data_) == 0) {}
    Winsock(Winsock const&) = delete;
    Winsock& operator=(Winsock const&) = delete;
    ~Winsock() {
        if (started_) WSACleanup();
    }
    bool Started() const { return started_; }

private:
    WSADATA data_{};
    bool started_;
};

ConnectOutcome OutcomeOf(int error) {
    return error == WSAECONNREFUSED ? ConnectOutcome::Refused
           : error == WSAETIMEDOUT  ? ConnectOutcome::TimedOut
                                    : ConnectOutcome::Failed;
}

// Connects to `address` within `milliseconds`. The connect is non-blocking and select waits for
// it, so a server that drops the packets costs the limit, not the system's twenty seconds and more.
ConnectOutcome Connect(ADDRINFOW const& address, int milliseconds) {
    UniqueSocket const socket(::socket(address.ai_family, address.ai_socktype, address.ai_protocol));
    if (!socket) return ConnectOutcome::Failed;
    u_long nonBlocking = 1;
    if (ioctlsocket(socket.Get(), FIONBIO, &nonBlocking) != 0) return ConnectOutcome::Failed;
    if (connect(socket.Get(), address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) {
        return ConnectOutcome::Connected;
    }
    if (WSAGetLastError() != WSAEWOULDBLOCK) return OutcomeOf(WSAGetLastError());
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket.Get(), &writable);
    FD_SET(socket.Get(), &failed);
    timeval timeout{milliseconds / 1000, milliseconds % 1000 * 1000};
    int const ready = select(0, nullptr, &writable, &failed, &timeout);
    if (ready == 0) return ConnectOutcome::TimedOut;
    if (ready < 0) return ConnectOutcome::Failed;
    int error = 0;
    int length = sizeof(error);
    if (getsockopt(socket.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
        return ConnectOutcome::Failed;
    }
    if (error != 0) return OutcomeOf(error);
    return FD_ISSET(socket.Get(), &writable) ? ConnectOutcome::Connected : ConnectOutcome::Failed;
}

}  // namespace

ConnectOutcome ConnectTcp(std::wstring const& host, int port, int timeoutMilliseconds) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point const deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    // Sockets are started for this connection only, so that Vigilon without a server to reach
    // never starts them.
    Winsock const sockets;
    if (!sockets.Started()) return ConnectOutcome::Failed;
    AddressList addresses;
    std::wstring const service = std::to_wstring(port);
    int const resolved = GetAddrInfoW(host.c_str(), service.c_str(), &hints, addresses.Receive());
    if (resolved == WSAHOST_NOT_FOUND || resolved == WSANO_DATA) return ConnectOutcome::NameNotFound;
    if (resolved != 0) return ConnectOutcome::Failed;
    // Each address gets what is left of the limit; the last one's outcome is the answer.
    ConnectOutcome outcome = ConnectOutcome::Failed;
    for (ADDRINFOW const* address = addresses.Get(); address != nullptr; address = address->ai_next) {
        auto const left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return ConnectOutcome::TimedOut;
        outcome = Connect(*address, static_cast<int>(left));
        if (outcome == ConnectOutcome::Connected) return outcome;
    }
    return outcome;
}

}  // namespace vigilon
