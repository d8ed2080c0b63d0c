#include "utils/iRPC/CServerURLQuery.h"

#include "utils/iRPC/RPCFormat.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"

#include <utility>

CServerURLQuery::CServerURLQuery() : CRPCMsg(RPC_SERVER_URL_QUERY, kVersion) {}

CServerURLQuery::CServerURLQuery(std::string url)
    : CRPCMsg(RPC_SERVER_URL_QUERY, kVersion), url_(std::move(url)) {}

bool CServerURLQuery::Marshal(bool reading, UIOBuffer& buffer) {
    if (!MarshalVersion(reading, buffer))
        return false;
    MarshalString(reading, buffer, url_);
    return true;
}

std::string CServerURLQuery::ToString() const {
    return FormatText("CServerURLQuery %s", url_.c_str());
}
