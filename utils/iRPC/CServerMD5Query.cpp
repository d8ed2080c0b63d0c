#include "utils/iRPC/CServerMD5Query.h"

#include "utils/iRPC/RPCFormat.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"

#include <utility>

CServerMD5Query::CServerMD5Query() : CRPCMsg(RPC_SERVER_MD5_QUERY, kVersion) {}

CServerMD5Query::CServerMD5Query(std::string checksum, std::string url)
    : CRPCMsg(RPC_SERVER_MD5_QUERY, kVersion), checksum_(std::move(checksum)), url_(std::move(url)) {}

bool CServerMD5Query::Marshal(bool reading, UIOBuffer& buffer) {
    if (!MarshalVersion(reading, buffer))
        return false;
    MarshalString(reading, buffer, checksum_);
    MarshalString(reading, buffer, url_);
    return true;
}

std::string CServerMD5Query::ToString() const {
    return FormatText("CServerMD5Query [%d] %s", static_cast<int>(Version()), checksum_.c_str());
}
