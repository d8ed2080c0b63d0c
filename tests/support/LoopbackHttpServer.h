// A small HTTP/1.0 server on a loopback address for download tests: serves
// fixed files with a chosen content type from a thread of its own. Listens
// on 127.0.0.2 by default, which reaches this machine like 127.0.0.1 but is
// not the address the add-on recognises as the local machine, so downloads
// from it are screened.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(const char* address = "127.0.0.2");
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool Listening() const { return listener_ != INVALID_SOCKET; }
    // "http://127.0.0.2:port" + path.
    std::wstring Url(const std::string& path) const;
    void Serve(const std::string& path, const std::string& contentType, std::vector<std::uint8_t> body);
    int Requests() const { return requests_; }

private:
    void Run();
    void Answer(SOCKET client);

    std::string address_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> requests_{0};
    mutable std::mutex mutex_;
    std::map<std::string, std::pair<std::string, std::vector<std::uint8_t>>> files_;
    std::thread thread_;
};

}  // namespace testing_support
