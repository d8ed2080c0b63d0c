#include "utils/iRPC/CServerNotify.h"

#include "utils/iRPC/RPCFormat.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"

#include <utility>

CServerNotify::CServerNotify() : CRPCMsg(RPC_SERVER_NOTIFY, kVersion) {}

CServerNotify::CServerNotify(std::string text)
    : CRPCMsg(RPC_SERVER_NOTIFY, kVersion), text_(std::move(text)) {}

bool CServerNotify::Marshal(bool reading, UIOBuffer& buffer) {
    if (!MarshalVersion(reading, buffer))
        return false;
    MarshalString(reading, buffer, text_);
    return true;
}

std::string CServerNotify::ToString() const {
    return FormatText("CServerNotify [%d] %s", static_cast<int>(Version()), text_.c_str());
}
