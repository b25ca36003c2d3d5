#include "platform/win32/tcp_connect.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>
#include <windows.h>

#include <algorithm>
#include <chrono>

#include "platform/win32/system_function.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

using UniqueSocket = Owned<SOCKET, ReleaseWith<closesocket>, INVALID_SOCKET>;
using AddressList = Owned<ADDRINFOW*, ReleaseWith<FreeAddrInfoW>>;  // from GetAddrInfoW

// The least an address is given when a total limit is shared among several: enough for a server
// across a slow network to answer.
constexpr int kAddressFloorMilliseconds = 500;

bool IsLoopback(ADDRINFOW const& address) {
    if (address.ai_family == AF_INET) {
        return reinterpret_cast<sockaddr_in const*>(address.ai_addr)->sin_addr.S_un.S_un_b.s_b1 == 127;
    }
    return address.ai_family == AF_INET6 &&
           IN6_IS_ADDR_LOOPBACK(&reinterpret_cast<sockaddr_in6 const*>(address.ai_addr)->sin6_addr);
}

// Windows 10 1709 or later, where a socket can be told to send its first SYN only once. Asked of
// ntdll, since GetVersionEx answers what the exe's manifest claims.
bool SynRetriesCanBeTurnedOff() {
    static bool const can = [] {
        using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
        auto const get = SystemFunction<GetVersion>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
        OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof(version);
        return get != nullptr && get(&version) == 0 && version.dwMajorVersion >= 10 && version.dwBuildNumber >= 16299;
    }();
    return can;
}

// Windows believes a refusal from its own loopback only after sending the SYN again a few times,
// about 2 s; without those retries the refusal comes at once and the next address of the name
// (127.0.0.1 after ::1, say) is tried in time. A system that does not know the option refuses the
// call, which changes nothing.
void RefuseAtOnceOnLoopback(SOCKET socket, ADDRINFOW const& address) {
    if (!IsLoopback(address) || !SynRetriesCanBeTurnedOff()) return;
    TCP_INITIAL_RTO_PARAMETERS parameters{};
    parameters.Rtt = TCP_INITIAL_RTO_UNSPECIFIED_RTT;
    parameters.MaxSynRetransmissions = TCP_INITIAL_RTO_NO_SYN_RETRANSMISSIONS;
    DWORD returned = 0;
    WSAIoctl(socket, SIO_TCP_INITIAL_RTO, &parameters, sizeof(parameters), nullptr, 0, &returned, nullptr, nullptr);
}

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
    RefuseAtOnceOnLoopback(socket.Get(), address);
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

int AddressMilliseconds(ConnectLimits const& limits, int left, int untried) {
    int const share = std::max(left / std::max(untried, 1), std::min(kAddressFloorMilliseconds, left));
    return std::min(share, limits.perAddressMilliseconds);
}

ConnectOutcome ConnectTcp(std::wstring const& host, int port, ConnectLimits const& limits) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point const start = Clock::now();
    auto const left = [&] {
        if (limits.totalMilliseconds == INT_MAX) return INT_MAX;
        auto const spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        return static_cast<int>(std::max<long long>(limits.totalMilliseconds - spent, 0));
    };
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    // Sockets are started at the first connection, so that Vigilon without a server to reach
    // never starts them, and then kept: checks connect again and again.
    static bool const started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started) return ConnectOutcome::Failed;
    AddressList addresses;
    std::wstring const service = std::to_wstring(port);
    int const resolved = GetAddrInfoW(host.c_str(), service.c_str(), &hints, addresses.Receive());
    if (resolved == WSAHOST_NOT_FOUND || resolved == WSANO_DATA) return ConnectOutcome::NameNotFound;
    if (resolved != 0) return ConnectOutcome::Failed;
    int untried = 0;
    for (ADDRINFOW const* address = addresses.Get(); address != nullptr; address = address->ai_next) ++untried;
    // Each address in turn, with its share of the time; the last one's outcome is the answer.
    ConnectOutcome outcome = ConnectOutcome::Failed;
    for (ADDRINFOW const* address = addresses.Get(); address != nullptr; address = address->ai_next, --untried) {
        int const remaining = left();
        if (remaining <= 0) return ConnectOutcome::TimedOut;
        outcome = Connect(*address, AddressMilliseconds(limits, remaining, untried));
        if (outcome == ConnectOutcome::Connected) return outcome;
    }
    return outcome;
}

}  // namespace vigilon
