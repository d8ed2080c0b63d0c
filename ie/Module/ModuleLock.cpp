#include "ie/Module/ModuleLock.h"

#include "utils/Thread/UThread.h"

namespace {

// Trivially constructed: static constructors run under the loader lock.
LONG g_lockCount = 0;
HINSTANCE g_instance = nullptr;

}  // namespace

void LockModule() noexcept {
    ::InterlockedIncrement(&g_lockCount);
}

void UnlockModule() noexcept {
    ::InterlockedDecrement(&g_lockCount);
}

LONG ModuleLockCount() noexcept {
    return ::InterlockedCompareExchange(&g_lockCount, 0, 0);
}

bool ModuleCanUnload() noexcept {
    // A worker thread (a message still being delivered) runs our code after
    // every object is gone; unloading under it would crash the browser.
    return ModuleLockCount() == 0 && UThread::LiveCount() == 0;
}

HINSTANCE ModuleInstance() noexcept {
    if (g_instance)
        return g_instance;
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&g_lockCount), &module);
    return module;
}

void RememberModuleInstance(HINSTANCE instance) noexcept {
    g_instance = instance;
}
