// Asks the running rating service exactly as the add-on does: a hidden
// top-level reply window titled "Client:{...}", requests sent with
// CRPCMsg::Send to the service window, answers matched by request id.
// Waiting pumps this thread's messages, so answers are received meanwhile.
#pragma once

#include "utils/Window/UMessageWindow.h"
#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct SiteAnswer {
    std::unique_ptr<CClientURLResults> verdict;
    std::unique_ptr<CClientMetaResults> facts;
    bool connectionFailed = false;  // the service could not reach its servers

    bool Complete() const { return connectionFailed || (verdict && facts); }
};

class CServiceClient {
public:
    CServiceClient();
    ~CServiceClient();
    CServiceClient(const CServiceClient&) = delete;
    CServiceClient& operator=(const CServiceClient&) = delete;

    bool IsReady() const { return window_.Window() != nullptr; }

    static bool IsServiceRunning();
    // Starts "%INSTALL_DIR%Quillon.exe" when no service window exists and
    // waits for its window; true when the service is running.
    static bool EnsureServiceRunning(DWORD timeoutMilliseconds);

    // Both answers to a site query, or what arrived within the time limit.
    SiteAnswer QuerySite(const std::string& url, DWORD timeoutMilliseconds);
    // The verdict on a checksum, or null when none arrived in time.
    std::unique_ptr<CClientMD5Results> QueryChecksum(const std::string& md5, const std::string& url,
                                                     DWORD timeoutMilliseconds);

private:
    void OnCopyData(HWND sender, const COPYDATASTRUCT* copyData);
    // Pumps messages until done() holds or the time is up.
    template <typename Done>
    bool WaitFor(DWORD timeoutMilliseconds, Done done);
    std::int32_t NextRequestId() { return ++lastRequestId_; }

    std::int32_t lastRequestId_ = 0;
    // Answers received, by request id, until the waiting query takes them.
    std::map<std::int32_t, std::vector<std::unique_ptr<CRPCMsg>>> answers_;
    UMessageWindow window_{"CServiceClient::WindowProcedure"};  // last: receives into the above
};
