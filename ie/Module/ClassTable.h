// The table of the module's COM classes, as DllGetClassObject answers it.
#pragma once

#include <windows.h>

// Queries the class's factory for iid. CLASS_E_CLASSNOTAVAILABLE for a class
// the module does not serve (or does not serve yet), E_POINTER for a null
// out pointer.
HRESULT GetModuleClassObject(REFCLSID clsid, REFIID iid, void** object);
