#include "local_http_server.h"

#include <gtest/gtest.h>
#include <ws2tcpip.h>

namespace vigilon::e2e {
namespace {

long long NowMilliseconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    return static_cast<long long>(ticks.QuadPart / 10'000);
}

}  // namespace

LocalHttpServer::LocalHttpServer() {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;  // any free port
    int size = sizeof(address);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0 || listen(listener_, 4) != 0) {
        ADD_FAILURE() << "the test's HTTP server could not listen on 127.0.0.1: error " << WSAGetLastError();
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer() {
    closesocket(listener_);  // ends the accept under way
    thread_.join();
    WSACleanup();
}

std::vector<LocalHttpServer::Served> LocalHttpServer::Requests() {
    std::lock_guard lock(mutex_);
    return served_;
}

std::vector<std::string> LocalHttpServer::Paths() {
    std::vector<std::string> paths;
    for (Served const& served : Requests()) paths.push_back(served.path);
    return paths;
}

void LocalHttpServer::Serve() {
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
        int const status = status_;
        std::string const body = status == 200 ? "OK" : "Unavailable";
        std::string const answer = "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Unavailable") +
                                   "\r\nContent-Length: " + std::to_string(body.size()) +
                                   "\r\nConnection: close\r\n\r\n" + body;
        send(client, answer.data(), static_cast<int>(answer.size()), 0);
        shutdown(client, SD_SEND);
        closesocket(client);
        std::string const path = request.starts_with("GET ") ? request.substr(4, request.find(' ', 4) - 4) : "";
        std::lock_guard lock(mutex_);
        served_.push_back({path, status, NowMilliseconds()});
    }
}

}  // namespace vigilon::e2e
