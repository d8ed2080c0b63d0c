#include <winsock2.h>
#include <ws2tcpip.h>

#include "service/tests/HttpClient.h"

namespace service_testing {

namespace {

struct Winsock {
    Winsock() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~Winsock() { ::WSACleanup(); }
};

bool SendAll(SOCKET socket, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const int chunk = ::send(socket, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (chunk <= 0)
            return false;
        sent += static_cast<std::size_t>(chunk);
    }
    return true;
}

}  // namespace

std::string HttpExchange(unsigned short port, const std::string& request, unsigned pauseMilliseconds,
                         const std::string& late) {
    const Winsock winsock;
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET)
        return std::string();
    const DWORD timeout = 10000;  // a service that never answers fails the test, not hangs it
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string response;
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        // A service that refuses early may close before all is sent.
        SendAll(socket, request);
        if (pauseMilliseconds)
            ::Sleep(pauseMilliseconds);
        if (!late.empty())
            SendAll(socket, late);
        char buffer[4096];
        for (int received; (received = ::recv(socket, buffer, sizeof(buffer), 0)) > 0;)
            response.append(buffer, static_cast<std::size_t>(received));
    }
    ::closesocket(socket);
    return response;
}

std::string RatingsRequest(unsigned short port, const std::string& body) {
    return HttpExchange(port, "POST /ratings HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                  "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
                                  "\r\n\r\n" + body);
}

int StatusOf(const std::string& response) {
    if (response.compare(0, 9, "HTTP/1.1 ") != 0 || response.size() < 12)
        return 0;
    return std::atoi(response.substr(9, 3).c_str());
}

std::string BodyOf(const std::string& response) {
    const std::size_t at = response.find("\r\n\r\n");
    return at == std::string::npos ? std::string() : response.substr(at + 4);
}

}  // namespace service_testing
