#include "tests/support/FakeRatingService.h"

#include "utils/URL/UURL.h"
#include "utils/iRPC/CClientConnectionFail.h"
#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/CServerNotify.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/RPCWindowHandle.h"

#include <memory>

namespace testing_support {

namespace {

std::vector<std::uint8_t> Bytes(const UIOBuffer& buffer) {
    return std::vector<std::uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

void SendPayload(HWND to, HWND from, std::uint32_t type, const std::vector<std::uint8_t>& payload) {
    COPYDATASTRUCT copyData = {};
    copyData.dwData = type;
    copyData.cbData = static_cast<DWORD>(payload.size());
    copyData.lpData = const_cast<std::uint8_t*>(payload.data());
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&copyData),
                          SMTO_NORMAL, 5000, &result);
}

}  // namespace

FakeRatingService::FakeRatingService()
    : worker_([this] { Work(); }),
      window_(kRPCServiceWindowTitle,
              [this](WPARAM wParam, const COPYDATASTRUCT& copyData) { return Receive(wParam, copyData); }) {}

FakeRatingService::~FakeRatingService() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    // The worker may be handing an answer to a window of this thread.
    PumpUntil([&] { return finished_.load(); }, 10000);
    worker_.join();
}

void FakeRatingService::SetSite(const std::string& host, Site site) {
    std::lock_guard<std::mutex> lock(mutex_);
    sites_[host] = std::move(site);
}

void FakeRatingService::AnswerAutomatically(bool on, DWORD delayMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    automatic_ = on;
    delayMs_ = delayMs;
}

void FakeRatingService::FailConnections(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    failing_ = on;
}

std::vector<FakeRatingService::Query> FakeRatingService::Queries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return queries_;
}

std::vector<std::string> FakeRatingService::Notices() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return notices_;
}

bool FakeRatingService::WaitForQueries(std::size_t count, DWORD timeoutMs) const {
    return PumpUntil([&] { return Queries().size() >= count; }, timeoutMs);
}

bool FakeRatingService::WaitForNotices(std::size_t count, DWORD timeoutMs) const {
    return PumpUntil([&] { return Notices().size() >= count; }, timeoutMs);
}

FakeRatingService::Site FakeRatingService::SiteFor(const std::string& url) const {
    const std::string host(UURL(url).GetHostName());
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = sites_.find(host);
    if (found != sites_.end())
        return found->second;
    Site unknown;
    unknown.verdict.name = host;
    unknown.verdict.code = VERDICT_UNKNOWN;
    unknown.verdict.color = COLOR_GREY;
    unknown.verdict.description = "Not tested";
    unknown.facts.baseDomain = host;
    return unknown;
}

std::vector<std::uint8_t> FakeRatingService::AnswerPayload(const Query& query, Answer answer,
                                                           std::int32_t requestId) const {
    const Site site = SiteFor(query.text);
    switch (answer) {
    case Answer::kMeta: {
        rpc_samples::DomainFacts facts = site.facts;
        facts.requestId = requestId;
        return Bytes(rpc_samples::Payload(facts));
    }
    case Answer::kURL: {
        rpc_samples::SiteVerdict verdict = site.verdict;
        verdict.requestId = requestId;
        return Bytes(rpc_samples::Payload(verdict));
    }
    case Answer::kConnectionFail:
    default: {
        CClientConnectionFail failure;
        UIOBuffer payload;
        failure.MarshalPayload(requestId, payload);
        return Bytes(payload);
    }
    }
}

static std::uint32_t TypeOf(FakeRatingService::Answer answer) {
    switch (answer) {
    case FakeRatingService::Answer::kMeta: return RPC_CLIENT_META_RESULTS;
    case FakeRatingService::Answer::kURL: return RPC_CLIENT_URL_RESULTS;
    default: return RPC_CLIENT_CONNECTION_FAIL;
    }
}

void FakeRatingService::Deliver(const Query& query, Answer answer) const {
    Deliver(query, answer, query.requestId);
}

void FakeRatingService::Deliver(const Query& query, Answer answer, std::int32_t requestId) const {
    SendPayload(query.replyWindow, Window(), TypeOf(answer), AnswerPayload(query, answer, requestId));
}

LRESULT FakeRatingService::Receive(WPARAM wParam, const COPYDATASTRUCT& copyData) {
    std::unique_ptr<CRPCMsg> message = CRPCMsg::Receive(static_cast<RPCWindow>(wParam), &copyData);
    if (!message)
        return FALSE;
    Query query;
    query.type = message->Type();
    query.requestId = message->RequestId();
    query.replyWindow = reinterpret_cast<HWND>(wParam);
    if (message->Type() == RPC_SERVER_NOTIFY) {
        std::lock_guard<std::mutex> lock(mutex_);
        notices_.push_back(static_cast<CServerNotify&>(*message).Text());
        return TRUE;
    }
    if (message->Type() != RPC_SERVER_URL_QUERY)
        return TRUE;
    query.text = static_cast<CServerURLQuery&>(*message).Url();
    bool automatic;
    bool failing;
    DWORD delay;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queries_.push_back(query);
        automatic = automatic_;
        failing = failing_;
        delay = delayMs_;
    }
    if (!automatic)
        return TRUE;
    std::vector<Pending> answers;
    const ULONGLONG due = ::GetTickCount64() + delay;
    if (failing) {
        answers.push_back({due, query.replyWindow, RPC_CLIENT_CONNECTION_FAIL,
                           AnswerPayload(query, Answer::kConnectionFail, query.requestId)});
    } else {
        answers.push_back({due, query.replyWindow, RPC_CLIENT_META_RESULTS,
                           AnswerPayload(query, Answer::kMeta, query.requestId)});
        answers.push_back({due, query.replyWindow, RPC_CLIENT_URL_RESULTS,
                           AnswerPayload(query, Answer::kURL, query.requestId)});
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (Pending& answer : answers)
            pending_.push_back(std::move(answer));
    }
    wake_.notify_all();
    return TRUE;
}

// Answers leave in the order their queries came, each when it is due.
void FakeRatingService::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !pending_.empty(); });
        if (stopping_) {
            finished_ = true;
            return;
        }
        const ULONGLONG now = ::GetTickCount64();
        if (pending_.front().due > now) {
            wake_.wait_for(lock, std::chrono::milliseconds(pending_.front().due - now));
            continue;
        }
        Pending answer = std::move(pending_.front());
        pending_.pop_front();
        lock.unlock();
        SendPayload(answer.to, Window(), answer.type, answer.payload);
        lock.lock();
    }
}

}  // namespace testing_support
