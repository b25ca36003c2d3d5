#include "platform/win32/win32_readiness_probe.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <string>

#include "platform/win32/win32_owners.h"

namespace vigilon {

struct Win32ReadinessProbe::Check {
    std::wstring path;
    std::wstring host;
    int port = 0;
    std::atomic<ProbeResult> result{ProbeResult::Pending};
};

namespace {

using UniqueSocket = Owned<SOCKET, ReleaseWith<closesocket>, INVALID_SOCKET>;
using AddressList = Owned<ADDRINFOW*, ReleaseWith<FreeAddrInfoW>>;  // from GetAddrInfoW

// True when a connection to `address` is made within the timeout. The connect is non-blocking and
// select waits for it, so a server that drops the packets costs the timeout, not the system's
// twenty seconds and more.
bool Connects(ADDRINFOW const& address) {
    UniqueSocket const socket(::socket(address.ai_family, address.ai_socktype, address.ai_protocol));
    if (!socket) return false;
    u_long nonBlocking = 1;
    if (ioctlsocket(socket.Get(), FIONBIO, &nonBlocking) != 0) return false;
    if (connect(socket.Get(), address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) return true;
    if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket.Get(), &writable);
    FD_SET(socket.Get(), &failed);
    timeval timeout{Win32ReadinessProbe::kConnectTimeoutMilliseconds / 1000,
                    Win32ReadinessProbe::kConnectTimeoutMilliseconds % 1000 * 1000};
    if (select(0, nullptr, &writable, &failed, &timeout) <= 0) return false;
    int error = 0;
    int length = sizeof(error);
    if (getsockopt(socket.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) return false;
    return FD_ISSET(socket.Get(), &writable) && error == 0;
}

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

bool TakesConnection(std::wstring const& host, int port) {
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    // Sockets are started for this check only, so that Vigilon without a server to wait for never
    // starts them; a failure reads as a server not there yet.
    Winsock const sockets;
    if (!sockets.Started()) return false;
    AddressList addresses;
    std::wstring const service = std::to_wstring(port);
    if (GetAddrInfoW(host.c_str(), service.c_str(), &hints, addresses.Receive()) != 0) return false;
    for (ADDRINFOW const* address = addresses.Get(); address != nullptr; address = address->ai_next) {
        if (Connects(*address)) return true;
    }
    return false;
}

DWORD WINAPI RunCheck(LPVOID context) {
    std::unique_ptr<std::shared_ptr<Win32ReadinessProbe::Check>> const owner(
        static_cast<std::shared_ptr<Win32ReadinessProbe::Check>*>(context));
    Win32ReadinessProbe::Check& check = **owner;
    bool const there = !check.path.empty() ? GetFileAttributesW(check.path.c_str()) != INVALID_FILE_ATTRIBUTES
                                           : TakesConnection(check.host, check.port);
    check.result.store(there ? ProbeResult::There : ProbeResult::Missing);
    return 0;
}

}  // namespace

Win32ReadinessProbe::Win32ReadinessProbe() = default;

Win32ReadinessProbe::~Win32ReadinessProbe() = default;

std::uint32_t Win32ReadinessProbe::Begin(std::wstring const& path, std::wstring const& host, int port) {
    auto check = std::make_shared<Check>();
    check->path = path;
    check->host = host;
    check->port = port;
    return checks_.Begin(std::move(check), RunCheck, ProbeResult::Missing);
}

ProbeResult Win32ReadinessProbe::Take(std::uint32_t ticket) { return checks_.Take(ticket, ProbeResult::Missing); }

void Win32ReadinessProbe::Drop(std::uint32_t ticket) { checks_.Forget(ticket); }

}  // namespace vigilon
