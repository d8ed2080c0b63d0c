#include "utils/iRPC/CRPCMsg.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageFactory.h"
#include "utils/iRPC/RPCTransport.h"

#include <utility>

CRPCMsg::~CRPCMsg() = default;

std::string CRPCMsg::ToString() const {
    REPORT_ASSERT("CRPCMsg::ToString", "RPC subclass failed to implement ToString()");
    return "CRPCMsg";
}

bool CRPCMsg::MarshalVersion(bool reading, UIOBuffer& buffer) {
    if (!reading)
        version_ = GetVersion();
    MarshalInt(reading, buffer, version_);
    return !reading || version_ == GetVersion();
}

bool CRPCMsg::MarshalPayload(std::int32_t requestId, UIOBuffer& payload) {
    requestId_ = requestId;
    WriteInt32(payload, requestId_);
    return Marshal(false, payload);
}

bool CRPCMsg::Send(RPCWindow target, RPCWindow replyWindow, std::int32_t requestId) {
    if (target == 0)
        return false;
    UIOBuffer payload;
    if (!MarshalPayload(requestId, payload)) {
        REPORT_ASSERT("CRPCMsg::Send", "Failed to marshal data");
        return false;
    }
    return StartRPCDelivery(target, replyWindow, type_, std::move(payload));
}

std::unique_ptr<CRPCMsg> CRPCMsg::Decode(std::uintptr_t type, RPCWindow senderWindow,
                                         const void* data, std::size_t size) {
    if (!data || size == 0) {
        REPORT_ASSERT("CRPCMsg::Receive", "No rpc data");
        return nullptr;
    }
    std::unique_ptr<CRPCMsg> message = CreateRPCMessage(type);
    if (!message)
        return nullptr;
    message->senderWindow_ = senderWindow;
    UIOBuffer buffer(data, size);
    ReadInt32(buffer, message->requestId_);
    if (!message->Marshal(true, buffer)) {
        REPORT_ASSERT("CRPCMsg::Receive", "Couldn't marshal rpc data");
        return nullptr;
    }
    return message;
}
