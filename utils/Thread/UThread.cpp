#include "utils/Thread/UThread.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <objbase.h>

namespace {

std::atomic<long> g_liveThreads{0};

// A counted reference on the module holding this code: a thread keeps its
// module loaded until it has returned out of the module's code.
HMODULE ReferenceThisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                         reinterpret_cast<LPCSTR>(&ReferenceThisModule), &module);
    return module;
}

}  // namespace

UThread::UThread(bool autoDelete, Apartment apartment) : autoDelete_(autoDelete), apartment_(apartment) {}

UThread::~UThread() = default;

long UThread::LiveCount() {
    return g_liveThreads.load();
}

bool UThread::Start() {
    if (handle_)
        return false;
    // Counted before it exists, so no moment passes where it runs uncounted.
    ++g_liveThreads;
    // Created suspended so handle and id are stored before the body can run
    // (and, when auto-deleting, destroy this object).
    DWORD threadId = 0;
    const HMODULE module = ReferenceThisModule();
    module_ = module;
    const HANDLE thread = ::CreateThread(nullptr, static_cast<SIZE_T>(stackSize_), &UThread::ThreadMain, this,
                                         CREATE_SUSPENDED, &threadId);
    if (!thread) {
        module_ = nullptr;
        if (module)
            ::FreeLibrary(module);
        --g_liveThreads;
        return false;
    }
    handle_.Reset(thread);
    threadId_ = threadId;
    if (::ResumeThread(thread) == static_cast<DWORD>(-1)) {
        // It never ran, so nothing of it is left to clean up.
        ::TerminateThread(thread, 1);
        handle_.Reset();
        threadId_ = 0;
        module_ = nullptr;
        if (module)
            ::FreeLibrary(module);
        --g_liveThreads;
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
    const bool withCom = self->apartment_ == Apartment::SingleThreaded;
    const HRESULT com = withCom ? ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
    DWORD result = kExceptionExitCode;
    try {
        result = self->Run();
    } catch (...) {
        REPORT_ASSERT("UThread::Run", "Exception thrown");
    }
    // Read before finishing: once finished_ is set, an owner that polls it
    // may delete a thread that does not auto-delete.
    const bool autoDelete = self->autoDelete_;
    const HMODULE module = self->module_;
    self->finished_ = true;
    if (autoDelete)
        delete self;
    if (SUCCEEDED(com))
        ::CoUninitialize();
    --g_liveThreads;
    // The module reference taken by Start(): dropped and the thread ended in
    // one call that does not return here, so the module may unload at once.
    if (module)
        ::FreeLibraryAndExitThread(module, result);
    return result;
}
