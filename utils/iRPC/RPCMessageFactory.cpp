#include "utils/iRPC/RPCMessageFactory.h"

#include "utils/iRPC/CClientConnectionFail.h"
#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"
#include "utils/iRPC/CServerMD5Query.h"
#include "utils/iRPC/CServerNotify.h"
#include "utils/iRPC/CServerURLFeedback.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/CServerWhitelistList.h"
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

    // Results from the rating service.
    case RPC_CLIENT_META_RESULTS:
        return std::make_unique<CClientMetaResults>();
    case RPC_CLIENT_URL_RESULTS:
        return std::make_unique<CClientURLResults>();
    case RPC_CLIENT_CONNECTION_FAIL:
        return std::make_unique<CClientConnectionFail>();
    case RPC_CLIENT_MD5_RESULTS:
        return std::make_unique<CClientMD5Results>();
    case RPC_CLIENT_WHITELIST_LIST:
        return std::make_unique<CServerWhitelistList>();

    default:
        return nullptr;
    }
}
