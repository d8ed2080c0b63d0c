// Delivers marshalled messages as WM_COPYDATA from a few long-lived threads,
// so that Send never blocks its (browser) thread and a query costs no thread
// start.
//
// Messages wait in one queue per target, and a target is served by one
// thread at a time: messages to the same target arrive in the order they
// were sent, and a target that is absent or hung holds up only its own
// queue. The threads are bounded (maxThreads, whatever the load), end after
// idleEndMs without work, do no COM, and count in UThread::LiveCount().
//
// Each message is tried until giveUpAfterMs after it was handed over: the
// rating service's window is looked up by title every retryEveryMs; a
// window handle is tried once (a handle that no longer exists fails at
// once). A delivery waits at most sendTimeoutMs for the receiver
// (SendMessageTimeout, aborting at once when the system knows the receiver
// hung); once a target timed out, its messages already past their time are
// dropped without another wait.
#pragma once

#include "utils/Buffer/UBuffer.h"
#include "utils/iRPC/CRPCMsg.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

class CRPCSendThread;

class CRPCDeliveryPool {
public:
    struct Limits {
        DWORD giveUpAfterMs = 5000;
        DWORD retryEveryMs = 100;
        DWORD sendTimeoutMs = 5000;
        DWORD idleEndMs = 2000;
        std::size_t maxThreads = 8;
    };

    explicit CRPCDeliveryPool(const Limits& limits);
    // Drops the messages still waiting and waits for every thread to end
    // (a thread inside a delivery finishes it first).
    ~CRPCDeliveryPool();
    CRPCDeliveryPool(const CRPCDeliveryPool&) = delete;
    CRPCDeliveryPool& operator=(const CRPCDeliveryPool&) = delete;

    // The pool of CRPCMsg::Send, with the limits above. Never destroyed: at a
    // program's exit its threads may still run while static objects go, and
    // in a DLL they hold the module loaded until they have ended.
    static CRPCDeliveryPool& Shared();

    // Queues a message and returns at once. target: a window or
    // kRPCServiceWindow. False (reported) only when no thread could serve it.
    bool Deliver(RPCWindow target, RPCWindow replyWindow, std::int32_t type, UBuffer payload);

    // Delivery threads running now.
    std::size_t Threads() const;

private:
    friend class CRPCSendThread;

    struct Message {
        RPCWindow replyWindow;
        std::int32_t type;
        UBuffer payload;
        DWORD handedOverAt;  // GetTickCount
    };
    struct Target {
        std::deque<Message> messages;
        bool lastSendTimedOut = false;
    };

    // The body of every delivery thread: serves ready targets until idle.
    void Serve();
    // With the lock held: waits up to idleEndMs for a ready target; false
    // when none came (the thread then ends).
    bool WaitForWork();
    // One message, outside the lock; lastSendTimedOut is read and updated.
    void DeliverOne(RPCWindow target, const Message& message, bool& lastSendTimedOut) const;
    HWND FindTarget(RPCWindow target) const;
    bool StartThread();

    class Lock;

    const Limits limits_;
    // The system's own lock and condition: they need no clean-up, and under
    // Wine they wait without a round trip to its server, which halves the
    // cost of handing a message over.
    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE work_ = CONDITION_VARIABLE_INIT;
    // Every target with messages; each is either in ready_ (once) or being
    // served by exactly one thread.
    std::map<RPCWindow, Target> targets_;
    std::deque<RPCWindow> ready_;
    // The rating service's window as last found by its title.
    mutable std::atomic<HWND> serviceWindow_{nullptr};
    std::size_t threads_ = 0;
    std::size_t idle_ = 0;
    bool closing_ = false;
    // Thread objects, deleted once finished.
    std::vector<std::unique_ptr<CRPCSendThread>> workers_;
};
