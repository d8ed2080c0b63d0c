// The four functions the module exports, and its entry point.
#include "ie/Module/ClassTable.h"
#include "ie/Module/HostCheck.h"
#include "ie/Module/ModuleLock.h"
#include "ie/Module/Registration.h"
#include "ie/Module/RunningBrowserMap.h"
#include "utils/Diagnostics/ReportAssert.h"

#include <objbase.h>

namespace {

// COM for the registration functions, which regsvr32 may call on a thread
// that has none; undone only when it was done here.
class ScopedComForRegistration {
public:
    ScopedComForRegistration() : result_(::CoInitialize(nullptr)) {}
    ~ScopedComForRegistration() {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

}  // namespace

// Runs under the loader lock: nothing here may load libraries, touch the
// registry, windows or COM, or wait for other threads.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    RememberModuleInstance(instance);
    if (reason == DLL_PROCESS_ATTACH) {
        if (RunningInShell())
            return FALSE;
    } else if (reason == DLL_PROCESS_DETACH) {
        DestroyRunningBrowserMap();
    }
    // Thread notifications stay on: the static runtime's thread cleanup needs them.
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    try {
        return GetModuleClassObject(clsid, iid, object);
    } catch (...) {
        REPORT_ASSERT("DllGetClassObject", "Exception thrown");
        return E_FAIL;
    }
}

STDAPI DllCanUnloadNow() {
    return ModuleCanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    try {
        ScopedComForRegistration com;
        if (FAILED(com.Result()))
            return com.Result();
        return RunRegistration(kModuleRegistration, 3);
    } catch (...) {
        REPORT_ASSERT("DllRegisterServer", "Exception thrown");
        return E_FAIL;
    }
}

STDAPI DllUnregisterServer() {
    try {
        ScopedComForRegistration com;
        if (FAILED(com.Result()))
            return com.Result();
        return RunUnregistration(kModuleRegistration, 3);
    } catch (...) {
        REPORT_ASSERT("DllUnregisterServer", "Exception thrown");
        return E_FAIL;
    }
}
