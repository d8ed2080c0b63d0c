#include "utils/iRPC/RPCMessageFactory.h"

#include "utils/iRPC/CServerMD5Query.h"
#include "utils/iRPC/CServerNotify.h"
#include "utils/iRPC/CServerURLFeedback.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/CServerWhitelistQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"

std::unique_ptr<CRPCMsg> CreateRPCMessage(std::uintptr_t type) {
    switch (type) {
    // Requests to the rating service.
    case RPC_SERVER_URL_QUERY:
        return std::make_unique<CServerURLQuery>();
    case RPC_SERVER_URL_FEEDBACK:
        return std::make_unique<CServerURLFeedback>();
    case RPC_SERVER_MD5_QUERY:
        return std::make_unique<CServerMD5Query>();
    case RPC_SERVER_WHITELIST_QUERY:
        return std::make_unique<CServerWhitelistQuery>();
    case RPC_SERVER_NOTIFY:
        return std::make_unique<CServerNotify>();

    // Results from the rating service: RPC_CLIENT_META_RESULTS (1),
    // RPC_CLIENT_URL_RESULTS (2), RPC_CLIENT_CONNECTION_FAIL (4),
    // RPC_CLIENT_MD5_RESULTS (6) and RPC_CLIENT_WHITELIST_LIST (8) get their
    // cases here, next to their classes. Until those classes exist these
    // types decode to nothing, exactly like an unknown type.

    default:
        return nullptr;
    }
}
