#include "utils/iRPC/CRPCDeliveryPool.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/iRPC/CRPCSendThread.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/RPCTrace.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/iRPC/StringTable.h"

#include <algorithm>
#include <new>
#include <utility>

// Holds the pool's lock exclusively for a scope, with a gap in the middle
// for work done outside it.
class CRPCDeliveryPool::Lock {
public:
    explicit Lock(SRWLOCK& lock) : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    ~Lock() { ::ReleaseSRWLockExclusive(&lock_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    template <typename Work>
    void Unlocked(Work work) {
        ::ReleaseSRWLockExclusive(&lock_);
        work();
        ::AcquireSRWLockExclusive(&lock_);
    }

private:
    SRWLOCK& lock_;
};

CRPCDeliveryPool::CRPCDeliveryPool(const Limits& limits) : limits_(limits) {}

CRPCDeliveryPool::~CRPCDeliveryPool() {
    std::vector<std::unique_ptr<CRPCSendThread>> workers;
    {
        Lock lock(lock_);
        closing_ = true;
        for (const RPCWindow target : ready_)
            targets_.erase(target);  // busy targets stay with their thread
        ready_.clear();
        workers.swap(workers_);
    }
    ::WakeAllConditionVariable(&work_);
    for (const std::unique_ptr<CRPCSendThread>& worker : workers)
        worker->Wait(INFINITE);
}

CRPCDeliveryPool& CRPCDeliveryPool::Shared() {
    // Built in place on first use and never destroyed (see the header).
    alignas(CRPCDeliveryPool) static unsigned char storage[sizeof(CRPCDeliveryPool)];
    static CRPCDeliveryPool* const pool = new (storage) CRPCDeliveryPool(Limits{});
    return *pool;
}

std::size_t CRPCDeliveryPool::Threads() const {
    Lock lock(lock_);
    return threads_;
}

bool CRPCDeliveryPool::Deliver(RPCWindow target, RPCWindow replyWindow, std::int32_t type, UBuffer payload) {
    Lock lock(lock_);
    if (closing_)
        return false;
    const auto [entry, added] = targets_.try_emplace(target);
    entry->second.messages.push_back(Message{replyWindow, type, std::move(payload), ::GetTickCount()});
    if (!added)
        return true;  // its queue is ready or being served already
    ready_.push_back(target);
    // Idle threads take ready targets; a target no idle thread will take
    // gets a new thread while the bound allows.
    if (ready_.size() > idle_ && threads_ < limits_.maxThreads && !StartThread() && threads_ == 0) {
        // Nobody will ever deliver it.
        ready_.pop_back();
        targets_.erase(entry);
        REPORT_ASSERT("CRPCMsg::Send", "Failed to create thread");
        return false;
    }
    if (idle_ > 0)
        ::WakeConditionVariable(&work_);
    return true;
}

bool CRPCDeliveryPool::StartThread() {
    // Threads that ended while idle leave their objects behind until now.
    workers_.erase(std::remove_if(workers_.begin(), workers_.end(),
                                  [](const std::unique_ptr<CRPCSendThread>& worker) { return worker->Finished(); }),
                   workers_.end());
    auto worker = std::make_unique<CRPCSendThread>(*this);
    ++threads_;  // before it runs: it leaves Serve() by counting itself out
    if (!worker->Start()) {
        --threads_;
        return false;
    }
    workers_.push_back(std::move(worker));
    return true;
}

void CRPCDeliveryPool::Serve() {
    Lock lock(lock_);
    for (;;) {
        if (ready_.empty()) {
            if (closing_ || !WaitForWork())
                break;
            continue;
        }
        const RPCWindow key = ready_.front();
        ready_.pop_front();
        // Only this thread erases a target it serves, so the reference holds.
        Target& target = targets_[key];
        const Message message = std::move(target.messages.front());
        target.messages.pop_front();
        bool lastSendTimedOut = target.lastSendTimedOut;
        lock.Unlocked([&] { DeliverOne(key, message, lastSendTimedOut); });
        target.lastSendTimedOut = lastSendTimedOut;
        if (target.messages.empty() || closing_)
            targets_.erase(key);
        else
            ready_.push_back(key);  // behind other targets: each gets its turn
    }
    --threads_;
}

bool CRPCDeliveryPool::WaitForWork() {
    ++idle_;
    const DWORD start = ::GetTickCount();
    while (ready_.empty() && !closing_) {
        const DWORD waited = ::GetTickCount() - start;
        if (waited >= limits_.idleEndMs)
            break;
        ::SleepConditionVariableSRW(&work_, &lock_, limits_.idleEndMs - waited, 0);
    }
    --idle_;
    return !ready_.empty() || closing_;
}

HWND CRPCDeliveryPool::FindTarget(RPCWindow target) const {
    if (target != kRPCServiceWindow)
        return ToWindowHandle(target);
    // A look-up by title walks every top-level window (a third of a
    // millisecond under Wine, more than the delivery itself), so the window
    // found is kept while it exists. The service may restart at any time: a
    // window that is gone is looked up afresh.
    HWND window = serviceWindow_.load();
    if (window && ::IsWindow(window))
        return window;
    window = ::FindWindowA(nullptr, kRPCServiceWindowTitle);
    serviceWindow_.store(window);
    return window;
}

void CRPCDeliveryPool::DeliverOne(RPCWindow target, const Message& message, bool& lastSendTimedOut) const {
    RPCTrace([&] { return "Attempt send to " + RPCWindowText(target); });
    // Elapsed times in unsigned arithmetic stay right across the tick
    // counter's wrap.
    const auto late = [&] { return ::GetTickCount() - message.handedOverAt > limits_.giveUpAfterMs; };
    HWND window = nullptr;
    for (;;) {
        window = FindTarget(target);
        if (window && !(lastSendTimedOut && late()))
            break;
        if (late()) {
            RPCTrace([&] { return "Timeout: Can't RPC to " + RPCWindowText(target); });
            return;
        }
        ::Sleep(limits_.retryEveryMs);
    }
    COPYDATASTRUCT copyData = {};
    copyData.dwData = static_cast<ULONG_PTR>(message.type);
    copyData.cbData = static_cast<DWORD>(message.payload.Size());
    copyData.lpData = const_cast<std::uint8_t*>(message.payload.Data());
    DWORD_PTR accepted = 0;
    const LRESULT sent =
        ::SendMessageTimeoutA(window, WM_COPYDATA, static_cast<WPARAM>(message.replyWindow),
                              reinterpret_cast<LPARAM>(&copyData), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                              limits_.sendTimeoutMs, &accepted);
    lastSendTimedOut = !sent && ::GetLastError() == ERROR_TIMEOUT;
    const auto describe = [&](const char* what) {
        return std::string(what) + IndexToString(message.type, kRPCMessageTypeNames) + " to window " +
               RPCWindowText(ToRPCWindow(window));
    };
    if (!sent || !accepted) {
        RPCTrace([&] { return describe("Failed send "); });
        return;
    }
    RPCTrace([&] { return describe("Sent "); });
}
