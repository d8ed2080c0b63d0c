// Builds without a window system have nobody to deliver to: sending fails
// visibly instead of pretending.
#include "utils/iRPC/RPCTransport.h"

#include "utils/Diagnostics/ReportAssert.h"

bool StartRPCDelivery(RPCWindow, RPCWindow, std::int32_t, UBuffer) {
    REPORT_ASSERT("CRPCMsg::Send", "No window transport on this platform");
    return false;
}
