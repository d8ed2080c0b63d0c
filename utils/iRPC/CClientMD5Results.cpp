#include "utils/iRPC/CClientMD5Results.h"

#include "utils/iRPC/RPCFormat.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/StringTable.h"
#include "utils/iRPC/TimeText.h"
#include "utils/iRPC/VerdictUsage.h"

CClientMD5Results::CClientMD5Results() : CRPCMsg(RPC_CLIENT_MD5_RESULTS, kVersion) {}

bool CClientMD5Results::Marshal(bool reading, UIOBuffer& buffer) {
    if (!MarshalVersion(reading, buffer))
        return false;
    MarshalInt(reading, buffer, expiry_);
    MarshalString(reading, buffer, title_);
    MarshalInt(reading, buffer, code_);
    MarshalInt(reading, buffer, color_);
    MarshalString(reading, buffer, description_);
    return true;
}

bool CClientMD5Results::Send(RPCWindow target, RPCWindow replyWindow, std::int32_t requestId) {
    const bool sent = CRPCMsg::Send(target, replyWindow, requestId);
    CountVerdictPassedOn(code_);
    return sent;
}

std::string CClientMD5Results::ToString() const {
    return FormatText("CClientMD5Results [%d] %s %s %s", Version(), FormatLocalTime(expiry_).c_str(),
                      title_.c_str(), IndexToString(code_, kVerdictCodeNames));
}
