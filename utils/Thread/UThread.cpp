#include "utils/Thread/UThread.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <objbase.h>

UThread::UThread(bool autoDelete) : autoDelete_(autoDelete) {}

UThread::~UThread() = default;

bool UThread::Start() {
    if (handle_)
        return false;
    // Created suspended so handle and id are stored before the body can run
    // (and, when auto-deleting, destroy this object).
    DWORD threadId = 0;
    const HANDLE thread = ::CreateThread(nullptr, static_cast<SIZE_T>(stackSize_),
                                         &UThread::ThreadMain, this, CREATE_SUSPENDED, &threadId);
    if (!thread)
        return false;
    handle_.Reset(thread);
    threadId_ = threadId;
    if (::ResumeThread(thread) == static_cast<DWORD>(-1)) {
        // It never ran, so nothing of it is left to clean up.
        ::TerminateThread(thread, 1);
        handle_.Reset();
        threadId_ = 0;
        return false;
    }
    // An auto-deleting object may already be gone: touch nothing more.
    return true;
}

bool UThread::Wait(DWORD milliseconds) const {
    return handle_ && ::WaitForSingleObject(handle_.Get(), milliseconds) == WAIT_OBJECT_0;
}

DWORD WINAPI UThread::ThreadMain(void* parameter) {
    auto* self = static_cast<UThread*>(parameter);
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    DWORD result = kExceptionExitCode;
    try {
        result = self->Run();
    } catch (...) {
        REPORT_ASSERT("UThread::Run", "Exception thrown");
    }
    self->finished_ = true;
    if (self->autoDelete_)
        delete self;
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return result;
}
