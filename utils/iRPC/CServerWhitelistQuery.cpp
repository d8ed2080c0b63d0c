#include "utils/iRPC/CServerWhitelistQuery.h"

#include "utils/iRPC/RPCFormat.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"

#include <utility>

const char* const CServerWhitelistQuery::kOperationNames[] = {
    "WHITELIST_QUERY_ADD",
    "WHITELIST_QUERY_REMOVE",
    "WHITELIST_QUERY_REQUESTALL",
    nullptr,
};

CServerWhitelistQuery::CServerWhitelistQuery() : CRPCMsg(RPC_SERVER_WHITELIST_QUERY, kVersion) {}

CServerWhitelistQuery::CServerWhitelistQuery(std::int32_t operation, std::string text)
    : CRPCMsg(RPC_SERVER_WHITELIST_QUERY, kVersion), operation_(operation), text_(std::move(text)) {}

bool CServerWhitelistQuery::Marshal(bool reading, UIOBuffer& buffer) {
    if (!MarshalVersion(reading, buffer))
        return false;
    MarshalInt(reading, buffer, operation_);
    MarshalString(reading, buffer, text_);
    return true;
}

std::string CServerWhitelistQuery::ToString() const {
    return FormatText("CServerWhitelistQuery [%d] %d %s", static_cast<int>(Version()),
                      static_cast<int>(operation_), text_.c_str());
}
