#include "ie/Module/ClassTable.h"

#include "ie/Browser/BHO.h"
#include "ie/Download/MimeFilter.h"
#include "ie/UI/Toolbar.h"

#include "ie/Module/ClassFactory.h"
#include "ie/Module/ModuleClasses.h"

namespace {

CClassFactory g_browserHelperFactory(&CBHO::CreateInstance);
CClassFactory g_mimeFilterFactory(&CMimeFilter::CreateInstance);
CClassFactory g_toolbarFactory(&CToolbar::CreateInstance);

struct ClassRow {
    const CLSID* clsid;
    // Null while the class is not built into the module.
    CClassFactory* factory;
};

// Every class the module registers, in registration order.
const ClassRow kClasses[] = {
    {&CLSID_QuillonBHO, &g_browserHelperFactory},
    {&CLSID_QuillonMimeFilter, &g_mimeFilterFactory},
    {&CLSID_QuillonToolbar, &g_toolbarFactory},
};

}  // namespace

HRESULT GetModuleClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (const ClassRow& row : kClasses) {
        if (*row.clsid != clsid)
            continue;
        if (!row.factory)
            return CLASS_E_CLASSNOTAVAILABLE;
        return row.factory->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}
