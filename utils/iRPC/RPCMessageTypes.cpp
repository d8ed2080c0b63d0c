#include "utils/iRPC/RPCMessageTypes.h"

const char* const kRPCMessageTypeNames[kRPCMessageTypeCount + 1] = {
    "SERVER_URL_QUERY",
    "CLIENT_META_RESULTS",
    "CLIENT_URL_RESULTS",
    "SERVER_URL_FEEDBACK",
    "CLIENT_CONNECTION_FAIL",
    "SERVER_MD5_QUERY",
    "CLIENT_MD5_RESULTS",
    "SERVER_WHITELIST_QUERY",
    "CLIENT_WHITELIST_LIST",
    "SERVER_NOTIFY",
    nullptr,
};
