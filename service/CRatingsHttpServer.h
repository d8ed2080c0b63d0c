// The socket side of the service's HTTP ratings (CRatingsHttpHandler says
// what is asked and answered): one listening socket bound to a loopback
// address and one thread that serves a connection at a time, one request
// per connection. Ratings are only read, so the thread shares the store
// with the window thread without a lock (the store is loaded before Start
// and not changed after).
#pragma once

#include "service/CRatingsHttpHandler.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

class CRatingsStore;

class CRatingsHttpServer {
public:
    // A connection that has not sent its whole request by then gets 408 and
    // is closed, so a silent client holds the others up no longer.
    static constexpr DWORD kRequestMilliseconds = 2000;
    // How often the serving thread looks whether it is asked to stop.
    static constexpr DWORD kStopPollMilliseconds = 100;

    explicit CRatingsHttpServer(const CRatingsStore& ratings);
    ~CRatingsHttpServer();
    CRatingsHttpServer(const CRatingsHttpServer&) = delete;
    CRatingsHttpServer& operator=(const CRatingsHttpServer&) = delete;

    // Binds `address` (numeric IPv4 or IPv6) and `port` (0: any free one) and
    // starts serving. Any address outside the loopback range is refused
    // before a socket exists: ratings are for this machine's browser only.
    // False, reported, when refused or the port is taken.
    bool Start(const char* address, unsigned short port);
    // The bound port, 0 before Start succeeded.
    unsigned short Port() const { return port_; }
    // Stops serving and joins the thread; Start may follow.
    void Stop();

private:
    void Serve();
    void ServeConnection(UINT_PTR client);

    CRatingsHttpHandler handler_;
    bool winsockStarted_ = false;
    UINT_PTR listener_;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
