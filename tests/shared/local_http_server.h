#pragma once

#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vigilon::e2e {

// A server on 127.0.0.1, on a free port, that answers every request with the status it is set to
// (200 at first), and keeps what it was asked and answered.
class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(LocalHttpServer const&) = delete;
    LocalHttpServer& operator=(LocalHttpServer const&) = delete;

    int Port() const { return port_; }
    void SetStatus(int status) { status_ = status; }

    struct Served {
        std::string path;  // of a GET; empty for anything else
        int status = 0;
        long long time = 0;  // when it was answered, in milliseconds of the system clock
    };
    std::vector<Served> Requests();
    std::vector<std::string> Paths();

private:
    void Serve();

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<int> status_{200};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<Served> served_;
};

}  // namespace vigilon::e2e
