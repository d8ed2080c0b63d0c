#include "utils/iRPC/RPCTransport.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/iRPC/CRPCSendThread.h"

#include <memory>

bool StartRPCDelivery(RPCWindow target, RPCWindow replyWindow, std::int32_t type,
                      const UBuffer& payload) {
    auto thread = std::make_unique<CRPCSendThread>(target, replyWindow, type, payload);
    if (!thread->Start()) {
        // Nothing will deliver the payload; the thread object goes with it.
        REPORT_ASSERT("CRPCMsg::Send", "Failed to create thread");
        return false;
    }
    thread.release();  // running; it deletes itself when done
    return true;
}
