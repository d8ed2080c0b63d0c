#include "service/CRatingService.h"

#include "service/CAnswerDocument.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Environment/PathMacros.h"
#include "utils/File/UFile.h"
#include "utils/URL/UURL.h"
#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"
#include "utils/iRPC/CServerMD5Query.h"
#include "utils/iRPC/CServerNotify.h"
#include "utils/iRPC/CServerURLFeedback.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/CServerWhitelistList.h"
#include "utils/iRPC/CServerWhitelistQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/iRPC/StringTable.h"

#include <ctime>

namespace {

constexpr UINT kProcessQueueMessage = WM_APP + 1;

bool IsRequest(std::int32_t type) {
    return type == RPC_SERVER_URL_QUERY || type == RPC_SERVER_URL_FEEDBACK || type == RPC_SERVER_MD5_QUERY ||
           type == RPC_SERVER_WHITELIST_QUERY || type == RPC_SERVER_NOTIFY;
}

std::string TypeText(ULONG_PTR type) {
    const int index = type < static_cast<ULONG_PTR>(kRPCMessageTypeCount) ? static_cast<int>(type) : -1;
    return std::to_string(type) + " (" + IndexToString(index, kRPCMessageTypeNames) + ")";
}

std::string WindowText(HWND window) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "%p", static_cast<void*>(window));
    return text;
}

}  // namespace

CRatingService::CRatingService(CRatingsStore& ratings, CServiceLog& log)
    : ratings_(ratings), log_(log), whitelistPath_(kWhitelistFile) {
    NormalizePath(whitelistPath_);
}

CRatingService::~CRatingService() {
    if (dropsNotLogged_)
        log_.Write(std::to_string(dropsNotLogged_) + " more messages dropped, not logged one by one");
}

bool CRatingService::Create() {
    LoadWhitelist();
    // A hidden pop-up, not a message-only window: senders find it by title.
    if (!window_.Create(kRPCServiceWindowTitle, [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
            return OnMessage(message, wParam, lParam, result);
        })) {
        REPORT_ASSERT("CRatingService::Create", "Could not create the service window");
        return false;
    }
    // Pages in Protected Mode run at low integrity, and the system drops their
    // WM_COPYDATA to a window of a normal process unless it lets this one
    // message through. Safe because every payload is decoded as hostile.
    filter_ = window_.AllowFromLowerIntegrity(WM_COPYDATA);
    if (filter_ == UMessageWindow::FilterResult::NotAvailable)
        log_.Write("no message filter on this system: pages in Protected Mode cannot ask the service");
    return true;
}

bool CRatingService::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_COPYDATA:
        *result = OnCopyData(wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return true;
    case kProcessQueueMessage:
        OnProcessQueue();
        *result = 0;
        return true;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        *result = 0;
        return true;
    default:
        return false;  // WM_CLOSE included: DefWindowProc destroys the window
    }
}

LRESULT CRatingService::OnCopyData(WPARAM wParam, const COPYDATASTRUCT* copyData) {
    if (!copyData) {
        LogDropped("dropped a message without data");
        return FALSE;
    }
    if (copyData->cbData > kMaxPayload) {
        LogDropped("dropped message type " + TypeText(copyData->dwData) + ", " +
                   std::to_string(copyData->cbData) + " bytes: too big");
        return FALSE;
    }
    std::unique_ptr<CRPCMsg> request = CRPCMsg::Receive(static_cast<RPCWindow>(wParam), copyData);
    if (!request) {
        LogDropped("dropped message type " + TypeText(copyData->dwData) + ", " +
                   std::to_string(copyData->cbData) + " bytes: does not decode");
        return FALSE;
    }
    if (!IsRequest(request->Type())) {
        LogDropped("dropped " + request->ToString() + ": not a request");
        return FALSE;
    }
    if (queue_.size() >= kMaxQueued) {
        LogDropped("dropped " + request->ToString() + ": too many requests waiting");
        return FALSE;
    }
    queue_.push_back(std::move(request));
    PostProcessQueue();
    return TRUE;
}

void CRatingService::PostProcessQueue() {
    if (processingPosted_)
        return;
    processingPosted_ = ::PostMessageA(window_.Window(), kProcessQueueMessage, 0, 0) != FALSE;
    if (!processingPosted_)
        REPORT_ASSERT("CRatingService::PostProcessQueue", "Could not post to the service window");
}

void CRatingService::OnProcessQueue() {
    processingPosted_ = false;
    for (std::size_t done = 0; done < kBatch && !queue_.empty(); ++done) {
        const std::unique_ptr<CRPCMsg> request = std::move(queue_.front());
        queue_.pop_front();
        try {
            Dispatch(*request);
        } catch (...) {
            // One bad request must not take the rest of the queue with it.
            REPORT_ASSERT("CRatingService::OnProcessQueue", "Exception thrown");
        }
    }
    if (!queue_.empty())
        PostProcessQueue();
}

void CRatingService::Dispatch(const CRPCMsg& request) {
    switch (request.Type()) {
    case RPC_SERVER_URL_QUERY:
        AnswerURLQuery(static_cast<const CServerURLQuery&>(request));
        break;
    case RPC_SERVER_MD5_QUERY:
        AnswerMD5Query(static_cast<const CServerMD5Query&>(request));
        break;
    case RPC_SERVER_WHITELIST_QUERY:
        OnWhitelistQuery(static_cast<const CServerWhitelistQuery&>(request));
        break;
    case RPC_SERVER_NOTIFY:
        log_.Write("notice: " + static_cast<const CServerNotify&>(request).Text());
        break;
    case RPC_SERVER_URL_FEEDBACK: {
        const auto& feedback = static_cast<const CServerURLFeedback&>(request);
        log_.Write("feedback: " + std::to_string(feedback.Value()) + " " + feedback.Url());
        break;
    }
    default:
        break;  // OnCopyData queues requests only
    }
}

HWND CRatingService::ReplyWindowOf(const CRPCMsg& request) {
    const HWND reply = ToWindowHandle(request.SenderWindow());
    if (reply && ::IsWindow(reply))
        return reply;
    LogDropped("no answer to " + request.ToString() + ": reply window " + WindowText(reply) +
               (reply ? " has gone" : " not given"));
    return nullptr;
}

void CRatingService::AnswerURLQuery(const CServerURLQuery& query) {
    const HWND reply = ReplyWindowOf(query);
    if (!reply)
        return;
    const UURL url(query.Url());
    const std::string_view host = url.GetHostName();
    const SiteRating* rating = ratings_.FindSite(host);
    // Every host of a rated site gets the same answers; an unknown host's
    // answers carry its own name.
    const std::string key = rating ? "site " + rating->name : "host " + std::string(host);
    const std::int64_t now = std::time(nullptr);
    CAnswerCache::Answers* answers = answers_.Find(key, now);
    if (!answers)
        answers = &answers_.Store(key, BuildSiteAnswers(rating, host, now), now);
    SendAll(*answers, reply, query.RequestId());
}

CAnswerCache::Answers CRatingService::BuildSiteAnswers(const SiteRating* rating, std::string_view host,
                                                       std::int64_t now) {
    const std::string document = CAnswerDocument::ForSite(rating, host, now);
    auto facts = std::make_unique<CClientMetaResults>(document.c_str());
    if (rating) {
        facts->SetAddress(rating->address);
        facts->SetRegistrationCreated(rating->registrationCreated);
        facts->SetRegistrationExpires(rating->registrationExpires);
    }
    CAnswerCache::Answers answers;
    answers.push_back(std::move(facts));
    answers.push_back(std::make_unique<CClientURLResults>(document.c_str()));
    return answers;
}

void CRatingService::AnswerMD5Query(const CServerMD5Query& query) {
    const HWND reply = ReplyWindowOf(query);
    if (!reply)
        return;
    const DownloadRating* rating = ratings_.FindDownload(query.Checksum());
    const std::string key = rating ? "md5 " + rating->checksum : "md5 unknown";
    const std::int64_t now = std::time(nullptr);
    CAnswerCache::Answers* answers = answers_.Find(key, now);
    if (!answers) {
        CAnswerCache::Answers built;
        const std::string document = CAnswerDocument::ForDownload(rating, now);
        built.push_back(std::make_unique<CClientMD5Results>(document.c_str()));
        answers = &answers_.Store(key, std::move(built), now);
    }
    SendAll(*answers, reply, query.RequestId());
}

void CRatingService::SendAll(CAnswerCache::Answers& answers, HWND reply, std::int32_t requestId) {
    for (const std::unique_ptr<CRPCMsg>& answer : answers) {
        if (!answer->Send(ToRPCWindow(reply), 0, requestId))
            LogDropped("could not send " + answer->ToString());  // Send has reported why
    }
}

void CRatingService::OnWhitelistQuery(const CServerWhitelistQuery& query) {
    bool changed = false;
    switch (query.GetOperation()) {
    case CServerWhitelistQuery::WHITELIST_QUERY_ADD:
        changed = whitelist_.Add(query.Text());
        break;
    case CServerWhitelistQuery::WHITELIST_QUERY_REMOVE:
        changed = whitelist_.Remove(query.Text());
        break;
    case CServerWhitelistQuery::WHITELIST_QUERY_REPLACE:
        changed = whitelist_.Replace(query.Text());
        break;
    case CServerWhitelistQuery::WHITELIST_QUERY_REQUESTALL:
        if (const HWND reply = ReplyWindowOf(query)) {
            CServerWhitelistList list(whitelist_.ListText());
            list.Send(ToRPCWindow(reply), 0, query.RequestId());
        }
        return;
    default:
        LogDropped("dropped " + query.ToString() + ": unknown operation");
        return;
    }
    if (changed)
        SaveWhitelist();
}

void CRatingService::LogDropped(const std::string& text) {
    const DWORD now = ::GetTickCount();
    if (now - dropSecondStart_ >= 1000) {  // unsigned: right across the counter's wrap
        dropSecondStart_ = now;
        dropsThisSecond_ = 0;
    }
    if (dropsThisSecond_++ >= kDropLinesPerSecond) {
        ++dropsNotLogged_;
        return;
    }
    std::string line = text;
    if (dropsNotLogged_) {
        line += " (and " + std::to_string(dropsNotLogged_) + " dropped before, not logged one by one)";
        dropsNotLogged_ = 0;
    }
    log_.Write(line);
}

void CRatingService::LoadWhitelist() {
    UBuffer bytes;
    if (!UFile::ReadFile(whitelistPath_, bytes))
        return;  // first run: no list yet
    whitelist_.LoadFileText(std::string_view(reinterpret_cast<const char*>(bytes.Data()), bytes.Size()));
}

void CRatingService::SaveWhitelist() {
    // No data folder (reported when the path was made): no "whitelist.txt.new"
    // in whatever folder is current.
    if (whitelistPath_.empty())
        return;
    // Written beside and then moved over the old file, so a crash mid-write
    // never leaves the user with half a list.
    const std::string text = whitelist_.FileText();
    const std::string fresh = whitelistPath_ + ".new";
    {
        win::UniqueFile file(::CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size()) {
            REPORT_ASSERT("CRatingService::SaveWhitelist", "Could not write the do-not-warn list");
            return;
        }
    }
    if (!::MoveFileExA(fresh.c_str(), whitelistPath_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        REPORT_ASSERT("CRatingService::SaveWhitelist", "Could not replace the do-not-warn list");
}
