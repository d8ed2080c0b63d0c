#include "utils/iRPC/CClientConnectionFail.h"

#include "utils/iRPC/RPCMessageTypes.h"

CClientConnectionFail::CClientConnectionFail() : CRPCMsg(RPC_CLIENT_CONNECTION_FAIL, kVersion) {}
