#include "ie/Download/MimeWnd.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/CClientURLResults.h"
#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/CServerMD5Query.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/CServerWhitelistList.h"
#include "utils/iRPC/CServerWhitelistQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/RPCWindowHandle.h"

#include <atomic>
#include <memory>

namespace {

std::atomic<UINT> g_testWait{0};

}  // namespace

bool RunMimeWnd(const std::string& digest, const std::string& downloadUrl, const std::string& referringSite,
                MimeVerdict& result) {
    CMimeWnd window(digest, downloadUrl, referringSite);
    if (!window.Create()) {
        REPORT_ASSERT("RunMimeWnd", "Failed to create MimeWnd");
        return false;
    }
    window.Wait();
    result.verdict = window.Merge().Verdict();
    result.colour = window.Merge().Colour();
    result.text = window.Merge().Text();
    result.doNotWarnList = window.Merge().List();
    return true;
}

CMimeWnd::CMimeWnd(std::string digest, std::string downloadUrl, std::string referringSite)
    : digest_(std::move(digest)),
      downloadUrl_(std::move(downloadUrl)),
      referringSite_(std::move(referringSite)),
      window_("CMimeWnd::WindowProcedure") {}

CMimeWnd::~CMimeWnd() {
    Close();
}

void CMimeWnd::SetWaitForTesting(UINT milliseconds) {
    g_testWait = milliseconds;
}

UINT CMimeWnd::WaitMilliseconds() {
    const UINT wait = g_testWait;
    return wait ? wait : kWaitMilliseconds;
}

bool CMimeWnd::Create() {
    if (!window_.Create("", [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
            return OnMessage(message, wParam, lParam, result);
        }))
        return false;
    OnCreate();
    return window_.Window() != nullptr;
}

void CMimeWnd::Wait() {
    bool quit = false;
    WPARAM quitCode = 0;
    // Only this window's end ends the wait: a quit message, a failure of
    // the loop, or another window's message must not leave it behind.
    while (window_.Window()) {
        MSG message;
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = message.wParam;
            break;
        }
        if (got == -1)
            break;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    Close();
    // The quit message belongs to the thread's own loop, further out.
    if (quit)
        ::PostQuitMessage(static_cast<int>(quitCode));
}

void CMimeWnd::Close() {
    if (!window_.Window())
        return;
    if (timerSet_)
        ::KillTimer(window_.Window(), kTimerId);
    timerSet_ = false;
    window_.Destroy();
    // An answer from another thread is handled inside GetMessage, which then
    // waits on for a posted message: a harmless one wakes the loop to see
    // that its window is gone.
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool CMimeWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_COPYDATA:
        *result = OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return true;
    case WM_TIMER:
        if (wParam != kTimerId)
            return false;
        // The wait is over, with whatever arrived.
        Close();
        *result = 0;
        return true;
    default:
        return false;
    }
}

bool CMimeWnd::SendQuery(CRPCMsg& query, int answers) {
    if (!query.Send(kRPCServiceWindow, ToRPCWindow(window_.Window()), 0))
        return false;
    merge_.Expect(answers);
    return true;
}

void CMimeWnd::OnCreate() {
    try {
        CServerWhitelistQuery list(CServerWhitelistQuery::WHITELIST_QUERY_REQUESTALL, std::string());
        SendQuery(list, CVerdictMerge::kAnswersPerListRequest);
        CServerMD5Query checksum(digest_, downloadUrl_);
        SendQuery(checksum, CVerdictMerge::kAnswersPerChecksumQuery);
        CServerURLQuery site(downloadUrl_);
        SendQuery(site, CVerdictMerge::kAnswersPerSiteQuery);
        if (!referringSite_.empty()) {
            CServerURLQuery referrer(referringSite_);
            SendQuery(referrer, CVerdictMerge::kAnswersPerSiteQuery);
        }
        timerSet_ = ::SetTimer(window_.Window(), kTimerId, WaitMilliseconds(), nullptr) != 0;
        // Without a timer nothing would end a wait for a silent service.
        if (!timerSet_ || merge_.AllAnswered())
            Close();
    } catch (...) {
        REPORT_ASSERT("CMimeWnd::OnCreate", "Exception thrown");
        Close();
    }
}

BOOL CMimeWnd::OnCopyData(HWND sender, const COPYDATASTRUCT* data) {
    try {
        if (!data) {
            REPORT_ASSERT("CMimeWnd::OnCopyData", "NULL LPARAM");
            return FALSE;
        }
        std::unique_ptr<CRPCMsg> answer = CRPCMsg::Receive(ToRPCWindow(sender), data);
        if (!answer)
            return FALSE;
        merge_.CountAnswer();
        OnAnswer(*answer);
        if (merge_.AllAnswered())
            Close();
        return TRUE;
    } catch (...) {
        REPORT_ASSERT("CMimeWnd::OnCopyData", "Exception thrown");
        return TRUE;
    }
}

void CMimeWnd::OnAnswer(const CRPCMsg& answer) {
    switch (answer.Type()) {
    case RPC_CLIENT_URL_RESULTS: {
        const auto& site = static_cast<const CClientURLResults&>(answer);
        merge_.OnSiteResult(site.Code(), site.FacetCode(FACET_DOWNLOADS), site.Color(),
                            site.FacetDescription(FACET_DOWNLOADS));
        break;
    }
    case RPC_CLIENT_MD5_RESULTS: {
        const auto& checksum = static_cast<const CClientMD5Results&>(answer);
        merge_.OnChecksumResult(checksum.Code(), checksum.Color(), checksum.Description(), checksum.Title());
        break;
    }
    case RPC_CLIENT_WHITELIST_LIST:
        merge_.OnList(static_cast<const CServerWhitelistList&>(answer).List());
        break;
    case RPC_CLIENT_CONNECTION_FAIL:
        // The service cannot reach its ratings: nothing more will come, but
        // what did come (a checksum verdict, say) still holds.
        Close();
        break;
    default:
        break;
    }
}
