#include "tools/QuillonCheck/CServiceClient.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Environment/PathMacros.h"
#include "utils/File/LaunchProgram.h"
#include "utils/iRPC/CServerMD5Query.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"

namespace {

constexpr char kServiceTitle[] = "Server:{A534759F-A612-4cf7-BA15-D022203D2DD1}";
constexpr char kClientTitle[] = "Client:{A534759F-A612-4cf7-BA15-D022203D2DD1}";

HWND FindService() {
    return ::FindWindowA(nullptr, kServiceTitle);
}

}  // namespace

CServiceClient::CServiceClient() {
    window_.Create(kClientTitle, [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
        if (message != WM_COPYDATA)
            return false;
        OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        *result = TRUE;
        return true;
    });
    if (!window_.Window())
        REPORT_ASSERT("CServiceClient::CServiceClient", "Could not create the reply window");
}

CServiceClient::~CServiceClient() = default;

bool CServiceClient::IsServiceRunning() {
    return FindService() != nullptr;
}

bool CServiceClient::EnsureServiceRunning(DWORD timeoutMilliseconds) {
    if (IsServiceRunning())
        return true;
    std::string program = "%INSTALL_DIR%Quillon.exe";
    NormalizePath(program);
    if (LaunchProgram(program.c_str(), nullptr, 0, false) != 0)
        return false;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMilliseconds;
    while (!IsServiceRunning()) {
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(20);
    }
    return true;
}

void CServiceClient::OnCopyData(HWND sender, const COPYDATASTRUCT* copyData) {
    std::unique_ptr<CRPCMsg> answer = CRPCMsg::Receive(reinterpret_cast<RPCWindow>(sender), copyData);
    if (answer)
        answers_[answer->RequestId()].push_back(std::move(answer));
}

template <typename Done>
bool CServiceClient::WaitFor(DWORD timeoutMilliseconds, Done done) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMilliseconds;
    while (!done()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return true;
}

SiteAnswer CServiceClient::QuerySite(const std::string& url, DWORD timeoutMilliseconds) {
    SiteAnswer answer;
    const std::int32_t id = NextRequestId();
    CServerURLQuery query(url);
    if (!window_.Window() || !query.Send(kRPCServiceWindow, reinterpret_cast<RPCWindow>(window_.Window()), id))
        return answer;
    WaitFor(timeoutMilliseconds, [&] {
        auto received = answers_.find(id);
        if (received != answers_.end()) {
            for (std::unique_ptr<CRPCMsg>& message : received->second) {
                switch (message->Type()) {
                case RPC_CLIENT_URL_RESULTS:
                    answer.verdict.reset(static_cast<CClientURLResults*>(message.release()));
                    break;
                case RPC_CLIENT_META_RESULTS:
                    answer.facts.reset(static_cast<CClientMetaResults*>(message.release()));
                    break;
                case RPC_CLIENT_CONNECTION_FAIL:
                    answer.connectionFailed = true;
                    break;
                }
            }
            answers_.erase(received);
        }
        return answer.Complete();
    });
    return answer;
}

std::unique_ptr<CClientMD5Results> CServiceClient::QueryChecksum(const std::string& md5, const std::string& url,
                                                                 DWORD timeoutMilliseconds) {
    std::unique_ptr<CClientMD5Results> verdict;
    const std::int32_t id = NextRequestId();
    CServerMD5Query query(md5, url);
    if (!window_.Window() || !query.Send(kRPCServiceWindow, reinterpret_cast<RPCWindow>(window_.Window()), id))
        return verdict;
    WaitFor(timeoutMilliseconds, [&] {
        auto received = answers_.find(id);
        if (received != answers_.end()) {
            for (std::unique_ptr<CRPCMsg>& message : received->second) {
                if (message->Type() == RPC_CLIENT_MD5_RESULTS)
                    verdict.reset(static_cast<CClientMD5Results*>(message.release()));
            }
            answers_.erase(received);
        }
        return verdict != nullptr;
    });
    return verdict;
}
