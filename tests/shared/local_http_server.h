#pragma once

#include <winsock2.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vigilon {

// A server on 127.0.0.1, on a free port, that answers every request as it is set to (200 "OK" at
// first), and keeps what it was asked and answered.
class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(LocalHttpServer const&) = delete;
    LocalHttpServer& operator=(LocalHttpServer const&) = delete;

    // Binds `s` to a free port of 127.0.0.1, which it returns (0 when it cannot).
    static int BindToLoopback(SOCKET s);

    int Port() const { return port_; }
    std::wstring Url() const { return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/health"; }
    // 200 with "OK", anything else with "Unavailable".
    void SetStatus(int status);
    // The status line's code and words, and the body; with `promised` longer than the body, the
    // answer says that length and then sends no more, until the client gives up.
    void Answer(std::string status, std::string body, std::size_t promised = 0);

    struct Served {
        std::string path;  // of a GET; empty for anything else
        int status = 0;
        long long time = 0;  // when it was answered, in milliseconds of the system clock
        std::string postPath;  // of a POST; empty for anything else
        std::string body;      // a POST's body, as its Content-Length gives it
    };
    std::vector<Served> Requests();
    std::vector<std::string> Paths();
    // The bodies of the POSTs, in order.
    std::vector<std::string> Posts();

private:
    void Serve();
    void AnswerOne(SOCKET client);

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::string status_ = "200 OK";
    std::string body_ = "OK";
    std::size_t promised_ = 2;
    std::vector<Served> served_;
};

}  // namespace vigilon
