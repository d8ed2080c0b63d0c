#include "utils/iRPC/CServerWhitelistList.h"

#include "utils/iRPC/RPCFormat.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"

#include <utility>

CServerWhitelistList::CServerWhitelistList() : CRPCMsg(RPC_CLIENT_WHITELIST_LIST, kVersion) {}

CServerWhitelistList::CServerWhitelistList(std::string list)
    : CRPCMsg(RPC_CLIENT_WHITELIST_LIST, kVersion), list_(std::move(list)) {}

bool CServerWhitelistList::Marshal(bool reading, UIOBuffer& buffer) {
    if (!MarshalVersion(reading, buffer))
        return false;
    MarshalString(reading, buffer, list_);
    return true;
}

std::string CServerWhitelistList::ToString() const {
    return FormatText("CServerWhitelistList [%d] %s", Version(), list_.c_str());
}
