#include "ie/Browser/ServerMonitor.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Environment/PathMacros.h"
#include "utils/File/LaunchProgram.h"
#include "utils/iRPC/RPCWindowHandle.h"

CServerMonitor::CServerMonitor() : window_("CServerMonitor::WindowProcedure") {
    const bool created = window_.Create("", [this](UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
        if (message != WM_TIMER)
            return false;
        *result = OnTimer(static_cast<UINT_PTR>(wParam));
        return true;
    });
    if (!created)
        REPORT_ASSERT("CServerMonitor::CServerMonitor", "Failed to create window");
}

CServerMonitor::~CServerMonitor() {
    Stop();
    window_.Destroy();
}

void CServerMonitor::SetBHO(IServerMonitorOwner* owner) {
    if (!owner)
        REPORT_ASSERT("CServerMonitor::SetBHO", "NULL pointer");
    owner_ = owner;
}

bool CServerMonitor::ServiceWindowExists() {
    return ::FindWindowA(nullptr, kRPCServiceWindowTitle) != nullptr;
}

void CServerMonitor::LaunchServer() {
    if (!ServiceWindowExists()) {
        std::string program = program_;
        NormalizePath(program);
        LaunchProgram(program.c_str(), nullptr, 0, false);
    }
    Arm();
}

void CServerMonitor::Arm() {
    if (window_.Window() && ::SetTimer(window_.Window(), kTimerId, periodMs_, nullptr))
        timerArmed_ = true;
}

void CServerMonitor::Stop() {
    if (timerArmed_ && window_.Window())
        ::KillTimer(window_.Window(), kTimerId);
    timerArmed_ = false;
}

void CServerMonitor::ServerDown() {
    serviceDown_ = true;
    if (!owner_) {
        REPORT_ASSERT("CServerMonitor::ServerDown", "NULL bho pointer");
        return;
    }
    owner_->OnServerDown();
}

LRESULT CServerMonitor::OnTimer(UINT_PTR id) {
    if (id != kTimerId)
        return 0;
    try {
        if (ServiceWindowExists()) {
            if (serviceDown_) {
                serviceDown_ = false;
                secondFlag_ = false;
                if (owner_)
                    owner_->OnServerBack();
            }
            return 0;
        }
        ServerDown();
        LaunchServer();
    } catch (...) {
        REPORT_ASSERT("CServerMonitor::OnTimer", "Exception thrown");
    }
    return 0;
}
