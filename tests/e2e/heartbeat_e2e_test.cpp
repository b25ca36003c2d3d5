#include <winsock2.h>
#include <ws2tcpip.h>

#include "e2e_fixture.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace vigilon::e2e {
namespace {

// A server on 127.0.0.1 that answers every GET with 200 and keeps the request lines' paths.
class PingServer {
public:
    PingServer() {
        WSADATA data{};
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;  // any free port
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        int size = sizeof(address);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        listen(listener_, 4);
        thread_ = std::thread([this] { Serve(); });
    }
    ~PingServer() {
        closesocket(listener_);  // ends the accept under way
        thread_.join();
        WSACleanup();
    }
    PingServer(PingServer const&) = delete;
    PingServer& operator=(PingServer const&) = delete;

    int Port() const { return port_; }
    std::vector<std::string> Paths() {
        std::lock_guard lock(mutex_);
        return paths_;
    }

private:
    void Serve() {
        for (;;) {
            SOCKET const client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                int const got = recv(client, buffer, sizeof(buffer), 0);
                if (got <= 0) break;
                request.append(buffer, static_cast<std::size_t>(got));
            }
            if (request.starts_with("GET ")) {
                std::lock_guard lock(mutex_);
                paths_.push_back(request.substr(4, request.find(' ', 4) - 4));
            }
            std::string const answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK";
            send(client, answer.data(), static_cast<int>(answer.size()), 0);
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> paths_;
};

bool AnyHas(std::vector<std::string> const& paths, std::string const& part) {
    for (std::string const& path : paths) {
        if (path.find(part) != std::string::npos) return true;
    }
    return false;
}

TEST_F(VigilonTest, AHeartbeatSaysUpWhileTheProgramRunsThenDownWithTheReasonOnceItIsGone) {
    PingServer server;
    std::wstring const alpha = AddHelper(L"a.exe", Caption(L"Alpha"));
    WriteIni({{L"Alpha", Caption(L"Alpha"), alpha}});
    std::wstring const ini = Path(L"vigilon.ini");
    std::wstring const url = L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/push?status={status}&msg={msg}";
    WritePrivateProfileStringW(L"Apps", L"HeartbeatUrl", url.c_str(), ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"HeartbeatSeconds", L"10", ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"Notices", L"Tray", ini.c_str());
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(Caption(L"Alpha")) != nullptr; }));
    // The first heartbeat comes one period (10 s) after the start; the wait allows three, for a
    // machine busy with other builds.
    ASSERT_TRUE(WaitUntil([&] { return AnyHas(server.Paths(), "/push?status=up&msg=1%20program%20running"); }, 30));

    // Its next start ends at once, so it stays gone: the heartbeat says so, with its state.
    WriteTextFile(alpha + L".cfg", Caption(L"Alpha") + L"\r\n" + alpha + L".txt\r\nexit-at-once\r\n");
    Close(WindowOf(Caption(L"Alpha")));
    EXPECT_TRUE(WaitUntil([&] { return AnyHas(server.Paths(), "/push?status=down&msg=Alpha%3A%20"); }, 30))
        << (server.Paths().empty() ? "" : server.Paths().back());
    ExitVigilon();
}

}  // namespace
}  // namespace vigilon::e2e
