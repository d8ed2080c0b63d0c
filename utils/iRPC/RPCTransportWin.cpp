#include "utils/iRPC/RPCTransport.h"

#include "utils/iRPC/CRPCDeliveryPool.h"

#include <utility>

bool StartRPCDelivery(RPCWindow target, RPCWindow replyWindow, std::int32_t type, UBuffer payload) {
    return CRPCDeliveryPool::Shared().Deliver(target, replyWindow, type, std::move(payload));
}
