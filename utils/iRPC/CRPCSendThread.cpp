#include "utils/iRPC/CRPCSendThread.h"

#include "utils/iRPC/CRPCDeliveryPool.h"

CRPCSendThread::CRPCSendThread(CRPCDeliveryPool& pool) : UThread(false, Apartment::None), pool_(pool) {}

DWORD CRPCSendThread::Run() {
    pool_.Serve();
    return 0;
}
