// One delivery thread of a CRPCDeliveryPool: runs the pool's loop until it
// has been idle long enough. Owned by the pool; no COM on it.
#pragma once

#include "utils/Thread/UThread.h"

class CRPCDeliveryPool;

class CRPCSendThread : public UThread {
public:
    explicit CRPCSendThread(CRPCDeliveryPool& pool);

protected:
    DWORD Run() override;

private:
    CRPCDeliveryPool& pool_;
};
