// winsock2.h must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "service/CRatingsHttpServer.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <cstring>
#include <utility>

namespace {

constexpr char kClass[] = "CRatingsHttpServer::Start";

// Parses a numeric address; true with `storage` filled when it is one of
// this machine's loopback addresses (127.0.0.0/8 or ::1).
bool ParseLoopback(const char* address, unsigned short port, sockaddr_storage* storage, int* length) {
    std::memset(storage, 0, sizeof(*storage));
    auto* v4 = reinterpret_cast<sockaddr_in*>(storage);
    if (::inet_pton(AF_INET, address, &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        *length = sizeof(sockaddr_in);
        return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
    }
    auto* v6 = reinterpret_cast<sockaddr_in6*>(storage);
    if (::inet_pton(AF_INET6, address, &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        *length = sizeof(sockaddr_in6);
        static const in6_addr loopback = IN6ADDR_LOOPBACK_INIT;
        return std::memcmp(&v6->sin6_addr, &loopback, sizeof(loopback)) == 0;
    }
    return false;
}

class UniqueSocket {
public:
    explicit UniqueSocket(SOCKET value = INVALID_SOCKET) : value_(value) {}
    ~UniqueSocket() {
        if (value_ != INVALID_SOCKET)
            ::closesocket(value_);
    }
    UniqueSocket(const UniqueSocket&) = delete;
    UniqueSocket& operator=(const UniqueSocket&) = delete;
    SOCKET Get() const { return value_; }
    SOCKET Release() { return std::exchange(value_, INVALID_SOCKET); }

private:
    SOCKET value_;
};

// Waits until the socket can be read, up to `milliseconds`.
bool WaitReadable(SOCKET socket, DWORD milliseconds) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval timeout{static_cast<long>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000};
    return ::select(0, &set, nullptr, nullptr, &timeout) == 1;
}

}  // namespace

CRatingsHttpServer::CRatingsHttpServer(const CRatingsStore& ratings)
    : handler_(ratings), listener_(INVALID_SOCKET) {}

CRatingsHttpServer::~CRatingsHttpServer() {
    Stop();
    if (winsockStarted_)
        ::WSACleanup();
}

bool CRatingsHttpServer::Start(const char* address, unsigned short port) {
    if (!address) {
        REPORT_ASSERT(kClass, "NULL pointer");
        return false;
    }
    Stop();
    if (!winsockStarted_) {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
            REPORT_ASSERT(kClass, "Winsock did not start");
            return false;
        }
        winsockStarted_ = true;
    }
    sockaddr_storage bound;
    int length = 0;
    if (!ParseLoopback(address, port, &bound, &length)) {
        REPORT_ASSERT(kClass, (std::string("Refused to listen on ") + address + ": not a loopback address").c_str());
        return false;
    }
    UniqueSocket listener(::socket(bound.ss_family, SOCK_STREAM, IPPROTO_TCP));
    if (listener.Get() == INVALID_SOCKET) {
        REPORT_ASSERT(kClass, "No socket");
        return false;
    }
    // No other program may bind the same port beside us and read requests.
    BOOL exclusive = TRUE;
    ::setsockopt(listener.Get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
                 sizeof(exclusive));
    if (::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&bound), length) != 0 ||
        ::listen(listener.Get(), SOMAXCONN) != 0) {
        REPORT_ASSERT(kClass, (std::string("Could not listen on ") + address + " port " + std::to_string(port) +
                               ", error " + std::to_string(::WSAGetLastError()))
                                  .c_str());
        return false;
    }
    length = sizeof(bound);
    ::getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&bound), &length);
    port_ = ntohs(bound.ss_family == AF_INET ? reinterpret_cast<sockaddr_in*>(&bound)->sin_port
                                              : reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port);
    listener_ = listener.Release();
    stopping_ = false;
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void CRatingsHttpServer::Stop() {
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ != INVALID_SOCKET)
        ::closesocket(listener_);
    listener_ = INVALID_SOCKET;
    port_ = 0;
}

void CRatingsHttpServer::Serve() {
    try {
        while (!stopping_) {
            if (!WaitReadable(listener_, kStopPollMilliseconds))
                continue;
            const SOCKET client = ::accept(listener_, nullptr, nullptr);
            if (client != INVALID_SOCKET)
                ServeConnection(client);
        }
    } catch (...) {
        REPORT_ASSERT("CRatingsHttpServer::Serve", "Exception thrown");
    }
}

void CRatingsHttpServer::ServeConnection(UINT_PTR socket) {
    const UniqueSocket client(socket);
    CHttpRequest request;
    const DWORD start = ::GetTickCount();
    char buffer[4096];
    while (request.GetState() == CHttpRequest::State::Incomplete && !stopping_) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= kRequestMilliseconds || !WaitReadable(client.Get(), kRequestMilliseconds - elapsed))
            break;  // answered with 408
        const int received = ::recv(client.Get(), buffer, sizeof(buffer), 0);
        if (received <= 0)
            return;  // the client went away: nobody to answer
        request.Feed(std::string_view(buffer, static_cast<std::size_t>(received)));
    }
    const std::string response = handler_.Respond(request);
    const DWORD sendTimeout = kRequestMilliseconds;
    ::setsockopt(client.Get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout),
                 sizeof(sendTimeout));
    for (std::size_t sent = 0; sent < response.size();) {
        const int chunk = ::send(client.Get(), response.data() + sent, static_cast<int>(response.size() - sent), 0);
        if (chunk <= 0)
            return;
        sent += static_cast<std::size_t>(chunk);
    }
    ::shutdown(client.Get(), SD_SEND);
    // Reads what is left so that closing does not reset the connection
    // before the client has the answer; bounded in time, so a client that
    // keeps sending cannot keep the thread.
    const DWORD drainStart = ::GetTickCount();
    while (::GetTickCount() - drainStart < kRequestMilliseconds && WaitReadable(client.Get(), 200) &&
           ::recv(client.Get(), buffer, sizeof(buffer), 0) > 0) {
    }
}
