// The delivery half of CRPCMsg::Send, provided per platform: on Windows the
// delivery threads of CRPCDeliveryPool carry the payload as WM_COPYDATA;
// elsewhere there are no windows to deliver to.
#pragma once

#include "utils/Buffer/UBuffer.h"
#include "utils/iRPC/CRPCMsg.h"

#include <cstdint>

// Starts delivery of a marshalled payload and returns at once; false when
// delivery could not even be started.
bool StartRPCDelivery(RPCWindow target, RPCWindow replyWindow, std::int32_t type, UBuffer payload);
