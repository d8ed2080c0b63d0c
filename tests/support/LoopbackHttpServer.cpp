#include "tests/support/LoopbackHttpServer.h"

#include <ws2tcpip.h>

namespace testing_support {

LoopbackHttpServer::LoopbackHttpServer(const char* address) : address_(address) {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return;
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener_ == INVALID_SOCKET)
        return;
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, address, &local.sin_addr);
    local.sin_port = 0;
    int length = sizeof local;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        ::closesocket(listener_);
        listener_ = INVALID_SOCKET;
        return;
    }
    port_ = ntohs(local.sin_port);
    thread_ = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    if (listener_ != INVALID_SOCKET) {
        ::closesocket(listener_);
        listener_ = INVALID_SOCKET;
    }
    if (thread_.joinable())
        thread_.join();
    ::WSACleanup();
}

std::wstring LoopbackHttpServer::Url(const std::string& path) const {
    const std::string url = "http://" + address_ + ":" + std::to_string(port_) + path;
    return std::wstring(url.begin(), url.end());
}

void LoopbackHttpServer::Serve(const std::string& path, const std::string& contentType,
                               std::vector<std::uint8_t> body) {
    std::lock_guard<std::mutex> lock(mutex_);
    files_[path] = {contentType, std::move(body)};
}

void LoopbackHttpServer::Run() {
    while (!stopping_) {
        fd_set readable;
        FD_ZERO(&readable);
        const SOCKET listener = listener_;
        if (listener == INVALID_SOCKET)
            return;
        FD_SET(listener, &readable);
        timeval wait = {0, 50000};
        if (::select(0, &readable, nullptr, nullptr, &wait) <= 0)
            continue;
        const SOCKET client = ::accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        Answer(client);
        ::closesocket(client);
    }
}

void LoopbackHttpServer::Answer(SOCKET client) {
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        const int got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        request.append(buffer, got);
    }
    ++requests_;
    const std::size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    std::string header;
    std::vector<std::uint8_t> body;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = files_.find(path);
        if (found == files_.end()) {
            header = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
        } else {
            body = found->second.second;
            header = "HTTP/1.0 200 OK\r\nContent-Type: " + found->second.first +
                     "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
        }
    }
    ::send(client, header.data(), static_cast<int>(header.size()), 0);
    std::size_t sent = 0;
    while (sent < body.size()) {
        const int put = ::send(client, reinterpret_cast<const char*>(body.data()) + sent,
                               static_cast<int>(body.size() - sent), 0);
        if (put <= 0)
            return;
        sent += static_cast<std::size_t>(put);
    }
    ::shutdown(client, SD_SEND);
}

}  // namespace testing_support
