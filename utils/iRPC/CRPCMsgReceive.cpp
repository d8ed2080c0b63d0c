// The window half of CRPCMsg::Receive: unpacks the WM_COPYDATA and leaves
// the decoding to the OS-free CRPCMsg::Decode.
#include "utils/iRPC/CRPCMsg.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/iRPC/RPCTrace.h"

#include <windows.h>

std::unique_ptr<CRPCMsg> CRPCMsg::Receive(RPCWindow senderWindow, const COPYDATASTRUCT* copyData) {
    if (!copyData) {
        REPORT_ASSERT("CRPCMsg::Receive", "No rpc data");
        return nullptr;
    }
    std::unique_ptr<CRPCMsg> message =
        Decode(copyData->dwData, senderWindow, copyData->lpData, copyData->cbData);
    if (message)
        RPCTrace([&] { return "Received from window " + RPCWindowText(senderWindow) + ": " + message->ToString(); });
    return message;
}
