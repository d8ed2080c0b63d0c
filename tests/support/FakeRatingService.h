// A scriptable stand-in for the rating service: a top-level window titled as
// the service's ("Server:{...}"), on a thread of its own, that records every
// query and notice it receives. Tests either answer queries themselves, in
// any order and with any request id (Deliver, synchronous from the reply
// window's thread), or let it answer every URL query by itself after a delay
// from a worker thread, as the real service would.
#pragma once

#include "tests/support/CopyDataWindow.h"
#include "utils/iRPC/tests/SamplePayloads.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class FakeRatingService {
public:
    struct Query {
        std::int32_t type = 0;       // the request's message type
        std::int32_t requestId = 0;
        HWND replyWindow = nullptr;
        std::string text;            // the URL of a URL query, the text of a notice
    };
    // What the service says about one host.
    struct Site {
        rpc_samples::SiteVerdict verdict;
        rpc_samples::DomainFacts facts;
    };
    enum class Answer { kMeta, kURL, kConnectionFail };

    FakeRatingService();
    ~FakeRatingService();
    FakeRatingService(const FakeRatingService&) = delete;
    FakeRatingService& operator=(const FakeRatingService&) = delete;

    HWND Window() const { return window_.Window(); }

    // The answers for a host (exact host of the queried URL). Hosts without
    // one are rated UNKNOWN, grey, with the host as name.
    void SetSite(const std::string& host, Site site);
    // Answers every URL query by itself: meta then URL results (or a
    // connection failure when failing), `delayMs` after it arrived.
    void AnswerAutomatically(bool on, DWORD delayMs = 0);
    void FailConnections(bool on);

    // URL queries, in arrival order.
    std::vector<Query> Queries() const;
    // Texts of the notices received.
    std::vector<std::string> Notices() const;
    // Pumps the calling thread's messages until `count` URL queries have
    // arrived; false on timeout.
    bool WaitForQueries(std::size_t count, DWORD timeoutMs = 5000) const;
    bool WaitForNotices(std::size_t count, DWORD timeoutMs = 5000) const;

    // Sends one answer now to the query's reply window with the query's
    // request id (or `requestId`), by SendMessage: call it on the reply
    // window's thread, so that answers arrive exactly in the order sent.
    void Deliver(const Query& query, Answer answer) const;
    void Deliver(const Query& query, Answer answer, std::int32_t requestId) const;

    // The payload of an answer, as the real service would write it.
    std::vector<std::uint8_t> AnswerPayload(const Query& query, Answer answer, std::int32_t requestId) const;

private:
    struct Pending {
        ULONGLONG due;
        HWND to;
        std::uint32_t type;
        std::vector<std::uint8_t> payload;
    };

    LRESULT Receive(WPARAM wParam, const COPYDATASTRUCT& copyData);
    Site SiteFor(const std::string& url) const;
    void Work();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::map<std::string, Site> sites_;
    std::vector<Query> queries_;
    std::vector<std::string> notices_;
    bool automatic_ = false;
    DWORD delayMs_ = 0;
    bool failing_ = false;
    bool stopping_ = false;
    std::atomic<bool> finished_{false};
    std::deque<Pending> pending_;
    std::thread worker_;
    CopyDataWindow window_;  // last: it starts receiving as soon as it exists
};

// Runs the calling thread's messages until `done` holds or the time is up.
template <typename Condition>
bool PumpUntil(Condition done, DWORD timeoutMs = 5000) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        if (done())
            return true;
        if (::GetTickCount64() >= end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

}  // namespace testing_support
