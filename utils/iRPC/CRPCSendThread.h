// Delivers one marshalled message on a thread of its own, so the sender's
// window never waits for the rating service. Always deletes itself.
#pragma once

#include "utils/Buffer/UBuffer.h"
#include "utils/Thread/UThread.h"
#include "utils/iRPC/CRPCMsg.h"

#include <cstdint>

class CRPCSendThread : public UThread {
public:
    // How long the service window is looked for, and how often.
    static constexpr DWORD kGiveUpAfterMs = 5000;
    static constexpr DWORD kRetryEveryMs = 100;
    // Exit codes of the thread.
    static constexpr DWORD kDelivered = 0;
    static constexpr DWORD kNotDelivered = 1;

    // target: a window or kRPCServiceWindow. Keeps its own copy of payload.
    CRPCSendThread(RPCWindow target, RPCWindow replyWindow, std::int32_t type,
                   const UBuffer& payload);

protected:
    DWORD Run() override;

private:
    HWND FindTarget() const;
    DWORD Deliver(HWND window) const;

    RPCWindow target_;
    RPCWindow replyWindow_;
    std::int32_t type_;
    UBuffer payload_;
};
