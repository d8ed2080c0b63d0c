// Holds a shared block's mutex for one scope, so that every path out of an
// access (early returns and exceptions included) releases it. A mutex that
// a dead process left abandoned counts as taken (CSharedMemory::Lock).
//
//   CSharedMemoryLock lock(block);
//   if (!lock.Held()) return false;
//   ... read or write block.View() ...
#pragma once

#include "utils/SharedMemory/CSharedMemory.h"

class CSharedMemoryLock {
public:
    explicit CSharedMemoryLock(CSharedMemory& block, DWORD timeoutMilliseconds = INFINITE)
        : block_(block), held_(block.Initialized() && block.Lock(timeoutMilliseconds)) {}
    ~CSharedMemoryLock() {
        if (held_)
            block_.Unlock();
    }
    CSharedMemoryLock(const CSharedMemoryLock&) = delete;
    CSharedMemoryLock& operator=(const CSharedMemoryLock&) = delete;

    bool Held() const { return held_; }

private:
    CSharedMemory& block_;
    const bool held_;
};
