// Message type numbers shared with the rating service: the WM_COPYDATA
// dwData of every message. The number is the index into the name table.
#pragma once

#include <cstdint>

enum RPCMessageType : std::int32_t {
    RPC_SERVER_URL_QUERY = 0,
    RPC_CLIENT_META_RESULTS = 1,
    RPC_CLIENT_URL_RESULTS = 2,
    RPC_SERVER_URL_FEEDBACK = 3,
    RPC_CLIENT_CONNECTION_FAIL = 4,
    RPC_SERVER_MD5_QUERY = 5,
    RPC_CLIENT_MD5_RESULTS = 6,
    RPC_SERVER_WHITELIST_QUERY = 7,
    RPC_CLIENT_WHITELIST_LIST = 8,
    RPC_SERVER_NOTIFY = 9,
};

constexpr std::int32_t kRPCMessageTypeCount = 10;

// Trace names by type number, null-terminated (for IndexToString).
extern const char* const kRPCMessageTypeNames[kRPCMessageTypeCount + 1];
