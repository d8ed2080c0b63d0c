// Base of the add-on's worker threads. The thread lives in a COM
// single-threaded apartment for its whole life, runs Run(), then marks
// itself finished and, when auto-deleting, destroys its own object.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

class UThread {
public:
    // Commit size of the new thread's stack; the reservation stays the
    // module default, so deep calls below Run() (window messages, COM)
    // still have room.
    static constexpr std::int32_t kStackSize = 4096;
    // Exit code of a thread whose Run() let an exception out.
    static constexpr DWORD kExceptionExitCode = 0xFFFFFFFF;

    // An auto-deleting thread must be created with new and, once Start()
    // succeeded, never touched again by its creator.
    explicit UThread(bool autoDelete);
    // Closes the thread handle; does not wait. Owners of a thread that does
    // not auto-delete call Wait() first.
    virtual ~UThread();
    UThread(const UThread&) = delete;
    UThread& operator=(const UThread&) = delete;

    // Starts the thread once; false when it could not be created (the object
    // is then not deleted by anyone but its owner).
    bool Start();
    // Waits for the thread to end; true when it has.
    bool Wait(DWORD milliseconds) const;

    HANDLE Handle() const { return handle_.Get(); }
    DWORD ThreadId() const { return threadId_; }
    bool Finished() const { return finished_.load(); }
    bool AutoDelete() const { return autoDelete_; }

protected:
    // The thread's body; its result is the thread's exit code.
    virtual DWORD Run() = 0;

private:
    static DWORD WINAPI ThreadMain(void* parameter);

    std::int32_t stackSize_ = kStackSize;
    win::UniqueHandle handle_;
    DWORD threadId_ = 0;
    std::atomic<bool> finished_{false};
    const bool autoDelete_;
};
