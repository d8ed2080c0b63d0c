#include "utils/iRPC/CRPCSendThread.h"

#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/RPCTrace.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/iRPC/StringTable.h"

CRPCSendThread::CRPCSendThread(RPCWindow target, RPCWindow replyWindow, std::int32_t type,
                               const UBuffer& payload)
    : UThread(true), target_(target), replyWindow_(replyWindow), type_(type), payload_(payload) {}

DWORD CRPCSendThread::Run() {
    RPCTrace("Attempt send to " + RPCWindowText(target_));
    const DWORD start = ::GetTickCount();
    for (;;) {
        const HWND window = FindTarget();
        if (window)
            return Deliver(window);
        // Elapsed time in unsigned arithmetic stays right across the tick
        // counter's wrap.
        if (::GetTickCount() - start > kGiveUpAfterMs) {
            RPCTrace("Timeout: Can't RPC to " + RPCWindowText(target_));
            return kNotDelivered;
        }
        ::Sleep(kRetryEveryMs);
    }
}

HWND CRPCSendThread::FindTarget() const {
    // The service may (re)start at any time: look its window up afresh.
    if (target_ == kRPCServiceWindow)
        return ::FindWindowA(nullptr, kRPCServiceWindowTitle);
    return ToWindowHandle(target_);
}

DWORD CRPCSendThread::Deliver(HWND window) const {
    COPYDATASTRUCT copyData = {};
    copyData.dwData = static_cast<ULONG_PTR>(type_);
    copyData.cbData = static_cast<DWORD>(payload_.Size());
    copyData.lpData = const_cast<std::uint8_t*>(payload_.Data());
    const LRESULT accepted = ::SendMessageA(window, WM_COPYDATA, static_cast<WPARAM>(replyWindow_),
                                            reinterpret_cast<LPARAM>(&copyData));
    const std::string typeName = IndexToString(type_, kRPCMessageTypeNames);
    const std::string windowText = RPCWindowText(ToRPCWindow(window));
    if (!accepted) {
        RPCTrace("Failed send " + typeName + " to window " + windowText);
        return kNotDelivered;
    }
    RPCTrace("Sent " + typeName + " to window " + windowText);
    return kDelivered;
}
