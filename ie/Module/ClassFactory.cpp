#include "ie/Module/ClassFactory.h"

#include "ie/Module/ModuleLock.h"
#include "utils/Diagnostics/ReportAssert.h"

HRESULT STDMETHODCALLTYPE CClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CClassFactory::AddRef() {
    LockModule();
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE CClassFactory::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    UnlockModule();
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    try {
        return create_(iid, object);
    } catch (...) {
        REPORT_ASSERT("CClassFactory::CreateInstance", "Exception thrown");
        *object = nullptr;
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CClassFactory::LockServer(BOOL lock) {
    if (lock)
        LockModule();
    else
        UnlockModule();
    return S_OK;
}

LONG CClassFactory::References() const noexcept {
    return ::InterlockedCompareExchange(const_cast<LONG*>(&references_), 0, 0);
}
