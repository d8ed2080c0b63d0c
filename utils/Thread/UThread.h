// Base of the add-on's worker threads. The thread runs Run() (in a COM
// single-threaded apartment unless asked for none), marks itself finished
// and, when auto-deleting, destroys its own object.
//
// Every UThread of a module counts toward LiveCount() from just before it
// is created until the last thing it does, and holds a reference on the
// module meanwhile, so a DLL that answers DllCanUnloadNow with S_FALSE while
// LiveCount() is above zero never has its code pulled from under a thread.
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

    enum class Apartment {
        SingleThreaded,  // CoInitializeEx(COINIT_APARTMENTTHREADED) around Run()
        None,            // no COM on this thread at all
    };

    // An auto-deleting thread must be created with new and, once Start()
    // succeeded, never touched again by its creator.
    explicit UThread(bool autoDelete, Apartment apartment = Apartment::SingleThreaded);
    // Closes the thread handle; does not wait. Owners of a thread that does
    // not auto-delete wait for it (Wait() or Finished()) first.
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
    // True once the thread no longer touches its object: an owner that polls
    // this may delete a thread that does not auto-delete.
    bool Finished() const { return finished_.load(); }
    bool AutoDelete() const { return autoDelete_; }

    // Threads of this module started and not yet ended (module-wide; each
    // module linking this code has its own count).
    static long LiveCount();

protected:
    // The thread's body; its result is the thread's exit code.
    virtual DWORD Run() = 0;

private:
    static DWORD WINAPI ThreadMain(void* parameter);

    std::int32_t stackSize_ = kStackSize;
    win::UniqueHandle handle_;
    DWORD threadId_ = 0;
    HMODULE module_ = nullptr;  // the reference the running thread holds
    std::atomic<bool> finished_{false};
    const bool autoDelete_;
    const Apartment apartment_;
};
