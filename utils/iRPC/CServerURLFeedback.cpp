#include "utils/iRPC/CServerURLFeedback.h"

#include "utils/iRPC/RPCFormat.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"

#include <utility>

CServerURLFeedback::CServerURLFeedback() : CRPCMsg(RPC_SERVER_URL_FEEDBACK, kVersion) {}

CServerURLFeedback::CServerURLFeedback(std::string url, std::int32_t value)
    : CRPCMsg(RPC_SERVER_URL_FEEDBACK, kVersion), url_(std::move(url)), value_(value) {}

bool CServerURLFeedback::Marshal(bool reading, UIOBuffer& buffer) {
    if (!MarshalVersion(reading, buffer))
        return false;
    MarshalString(reading, buffer, url_);
    MarshalInt(reading, buffer, value_);
    return true;
}

std::string CServerURLFeedback::ToString() const {
    return FormatText("CServerURLFeedback [%d] %s %d", static_cast<int>(Version()), url_.c_str(),
                      static_cast<int>(value_));
}
