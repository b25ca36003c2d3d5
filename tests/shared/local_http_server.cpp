#include "local_http_server.h"

#include <gtest/gtest.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace vigilon {
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
    port_ = BindToLoopback(listener_);
    if (port_ == 0 || listen(listener_, 4) != 0) {
        ADD_FAILURE() << "the test's HTTP server could not listen on 127.0.0.1: error " << WSAGetLastError();
    }
    thread_ = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer() {
    closesocket(listener_);  // ends the accept under way
    thread_.join();
    WSACleanup();
}

int LocalHttpServer::BindToLoopback(SOCKET s) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;  // any free port
    int size = sizeof(address);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

void LocalHttpServer::SetStatus(int status) {
    if (status == 200) {
        Answer("200 OK", "OK");
    } else {
        Answer(std::to_string(status) + " Unavailable", "Unavailable");
    }
}

void LocalHttpServer::Answer(std::string status, std::string body, std::size_t promised) {
    std::lock_guard lock(mutex_);
    status_ = std::move(status);
    body_ = std::move(body);
    promised_ = std::max(promised, body_.size());
}

std::vector<LocalHttpServer::Served> LocalHttpServer::Requests() {
    std::lock_guard lock(mutex_);
    return served_;
}

std::vector<std::string> LocalHttpServer::Posts() {
    std::vector<std::string> bodies;
    for (Served const& served : Requests()) {
        if (!served.postPath.empty()) bodies.push_back(served.body);
    }
    return bodies;
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
        AnswerOne(client);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}

void LocalHttpServer::AnswerOne(SOCKET client) {
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
        int const got = recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<std::size_t>(got));
    }
    // A POST's body: as many bytes as its Content-Length says, after the headers.
    std::size_t const headersEnd = request.find("\r\n\r\n");
    std::string body;
    if (request.starts_with("POST ") && headersEnd != std::string::npos) {
        std::string lower = request.substr(0, headersEnd);
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        std::size_t const field = lower.find("\r\ncontent-length:");
        std::size_t const length = field == std::string::npos ? 0 : std::strtoul(lower.c_str() + field + 17, nullptr, 10);
        body = request.substr(headersEnd + 4);
        while (body.size() < length) {
            int const got = recv(client, buffer, sizeof(buffer), 0);
            if (got <= 0) break;
            body.append(buffer, static_cast<std::size_t>(got));
        }
    }
    std::string answer;
    bool stalls = false;
    int status = 0;
    {
        std::lock_guard lock(mutex_);
        answer = "HTTP/1.1 " + status_ + "\r\nContent-Length: " + std::to_string(promised_) +
                 "\r\nConnection: close\r\n\r\n" + body_;
        stalls = promised_ > body_.size();
        status = std::atoi(status_.c_str());
    }
    send(client, answer.data(), static_cast<int>(answer.size()), 0);
    // A body promised longer than sent: the client waits for the rest until it gives up.
    while (stalls && recv(client, buffer, sizeof(buffer), 0) > 0) {
    }
    std::string const path = request.starts_with("GET ") ? request.substr(4, request.find(' ', 4) - 4) : "";
    std::string const postPath = request.starts_with("POST ") ? request.substr(5, request.find(' ', 5) - 5) : "";
    std::lock_guard lock(mutex_);
    served_.push_back({path, status, NowMilliseconds(), postPath, body});
}

}  // namespace vigilon
