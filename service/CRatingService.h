// The rating service's window: a hidden top-level window titled
// "Server:{A534759F-A612-4cf7-BA15-D022203D2DD1}" that takes the add-on's
// requests by WM_COPYDATA. The window procedure only decodes and queues;
// answers are built and sent from a message the window posts itself, so
// the sender's SendMessage returns at once.
#pragma once

#include "service/CAnswerCache.h"
#include "service/CRatingsStore.h"
#include "service/CServiceLog.h"
#include "service/CWhitelistStore.h"
#include "utils/Ownership/WinOwnership.h"
#include "utils/Window/UMessageWindow.h"

#include <deque>
#include <memory>
#include <string>

class CRPCMsg;
class CServerURLQuery;
class CServerMD5Query;
class CServerWhitelistQuery;

class CRatingService {
public:
    static constexpr char kWhitelistFile[] = "%DATA_DIR%whitelist.txt";
    // Requests waiting beyond this are refused: a flood cannot exhaust memory.
    static constexpr std::size_t kMaxQueued = 1024;
    // No request of the add-on comes near this (addresses are cut at a few
    // kilobytes); bigger payloads are refused before they are copied.
    static constexpr DWORD kMaxPayload = 64 * 1024;
    // Requests answered per posted message, so that incoming requests and
    // WM_CLOSE are not starved while a long queue drains.
    static constexpr std::size_t kBatch = 32;
    // Dropped messages logged per second; a flood of garbage costs no file
    // write per message, and the next logged line counts what was left out.
    static constexpr int kDropLinesPerSecond = 20;

    CRatingService(CRatingsStore& ratings, CServiceLog& log);
    ~CRatingService();
    CRatingService(const CRatingService&) = delete;
    CRatingService& operator=(const CRatingService&) = delete;

    // Loads the do-not-warn list and creates the window, open to the add-on
    // in Protected Mode; false (reported) when the window cannot be created.
    bool Create();
    HWND Window() const { return window_.Window(); }
    // Whether WM_COPYDATA from lower integrity was allowed at Create.
    UMessageWindow::FilterResult LowerIntegrityFilter() const { return filter_; }

private:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    LRESULT OnCopyData(WPARAM wParam, const COPYDATASTRUCT* copyData);
    void OnProcessQueue();
    void PostProcessQueue();

    void Dispatch(const CRPCMsg& request);
    void AnswerURLQuery(const CServerURLQuery& query);
    static CAnswerCache::Answers BuildSiteAnswers(const SiteRating* rating, std::string_view host,
                                                  std::int64_t now);
    void AnswerMD5Query(const CServerMD5Query& query);
    void OnWhitelistQuery(const CServerWhitelistQuery& query);
    void SendAll(CAnswerCache::Answers& answers, HWND reply, std::int32_t requestId);
    // The reply window of a request that wants an answer, or null (logged)
    // when it names none or the window has gone.
    HWND ReplyWindowOf(const CRPCMsg& request);

    void LogDropped(const std::string& text);
    void LoadWhitelist();
    void SaveWhitelist();

    CRatingsStore& ratings_;
    CServiceLog& log_;
    CAnswerCache answers_;
    CWhitelistStore whitelist_;
    std::string whitelistPath_;
    std::deque<std::unique_ptr<CRPCMsg>> queue_;
    bool processingPosted_ = false;
    DWORD dropSecondStart_ = 0;
    int dropsThisSecond_ = 0;
    unsigned long dropsNotLogged_ = 0;
    UMessageWindow::FilterResult filter_ = UMessageWindow::FilterResult::Failed;
    UMessageWindow window_{"CRatingService::WindowProcedure"};
};
