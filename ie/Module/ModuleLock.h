// The module's lock count: live COM objects, outside references to the class
// factories and LockServer calls. The module may be unloaded only while it
// is zero and no worker thread of the module runs (UThread::LiveCount).
#pragma once

#include <windows.h>

void LockModule() noexcept;
void UnlockModule() noexcept;
LONG ModuleLockCount() noexcept;

// Whether nothing holds the module: no lock and no live worker thread.
bool ModuleCanUnload() noexcept;

// The instance handle of the module holding this code: the DLL in the
// browser, the executable in a test linked with the libraries. Resources
// and window classes use it; GetModuleHandle(nullptr) would be the browser.
HINSTANCE ModuleInstance() noexcept;
void RememberModuleInstance(HINSTANCE instance) noexcept;

// Held by every COM object of the module for its whole life.
class CModuleReference {
public:
    CModuleReference() noexcept { LockModule(); }
    CModuleReference(const CModuleReference&) noexcept { LockModule(); }
    CModuleReference& operator=(const CModuleReference&) noexcept { return *this; }
    ~CModuleReference() { UnlockModule(); }
};
