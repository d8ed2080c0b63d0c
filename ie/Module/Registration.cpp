#include "ie/Module/Registration.h"

#include "ie/Module/ModuleClasses.h"
#include "ie/Module/ModuleLock.h"
#include "ie/Module/RegistryJournal.h"
#include "utils/Diagnostics/ReportAssert.h"

#include <string>

namespace {

std::string ModulePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(ModuleInstance(), &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ClassKey(REFCLSID clsid) {
    return "CLSID\\" + ClassIdString(clsid);
}

// The in-process server entry every class of the module has; the class's
// own key gets a description only when one is given.
bool RegisterClassEntry(CRegistryJournal& journal, REFCLSID clsid, const char* description) {
    const std::string modulePath = ModulePath();
    if (modulePath.empty())
        return false;
    const std::string classKey = ClassKey(clsid);
    if (description && !journal.SetString(HKEY_CLASSES_ROOT, classKey, "", description))
        return false;
    const std::string serverKey = classKey + "\\InprocServer32";
    return journal.SetString(HKEY_CLASSES_ROOT, serverKey, "", modulePath) &&
           journal.SetString(HKEY_CLASSES_ROOT, serverKey, "ThreadingModel", "Apartment");
}

bool UnregisterClassEntry(REFCLSID clsid) {
    return DeleteKeyTree(HKEY_CLASSES_ROOT, ClassKey(clsid));
}

bool RegisterBrowserHelper(CRegistryJournal& journal) {
    if (!RegisterClassEntry(journal, CLSID_QuillonBHO, nullptr))
        return false;
    return static_cast<bool>(
        journal.CreateKey(HKEY_LOCAL_MACHINE, kBrowserHelpersKey + ClassIdString(CLSID_QuillonBHO)));
}

bool UnregisterBrowserHelper() {
    const bool classRemoved = UnregisterClassEntry(CLSID_QuillonBHO);
    const bool helperRemoved = DeleteKey(HKEY_LOCAL_MACHINE, kBrowserHelpersKey + ClassIdString(CLSID_QuillonBHO));
    return classRemoved && helperRemoved;
}

bool RegisterFilterClass(CRegistryJournal& journal) {
    return RegisterClassEntry(journal, CLSID_QuillonMimeFilter, nullptr);
}

bool UnregisterFilterClass() {
    return UnregisterClassEntry(CLSID_QuillonMimeFilter);
}

// The browser caches which bands exist and where its toolbars sit; both
// caches are dropped so that the band shows up at the next start.
bool ForgetBandCaches() {
    bool done = true;
    for (const char* cache : kBandCategoryCacheKeys)
        done = DeleteKeyTree(HKEY_CURRENT_USER, cache) && done;
    return done;
}

bool RegisterToolbar(CRegistryJournal& journal) {
    if (!RegisterClassEntry(journal, CLSID_QuillonToolbar, kToolbarName))
        return false;
    if (!journal.SetString(HKEY_LOCAL_MACHINE, kToolbarKey, ClassIdString(CLSID_QuillonToolbar), kToolbarName))
        return false;
    ForgetBandCaches();
    ResetToolbarLayout();
    return true;
}

bool UnregisterToolbar() {
    bool done = UnregisterClassEntry(CLSID_QuillonToolbar);
    done = DeleteValue(HKEY_LOCAL_MACHINE, kToolbarKey, ClassIdString(CLSID_QuillonToolbar)) && done;
    done = ForgetBandCaches() && done;
    // Uninstalling takes the product's machine-wide options with it.
    done = DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductMachineKey) && done;
    return done;
}

}  // namespace

bool ResetToolbarLayout() {
    // The browser keeps the layout as a binary value; a key of that name is
    // dropped as well.
    const bool valueGone = DeleteValue(HKEY_CURRENT_USER, kToolbarLayoutKey, "ITBarLayout");
    const bool keyGone = DeleteKeyTree(HKEY_CURRENT_USER, std::string(kToolbarLayoutKey) + "\\ITBarLayout");
    return valueGone && keyGone;
}

const RegistrationStep kModuleRegistration[3] = {
    {"browser helper", &RegisterBrowserHelper, &UnregisterBrowserHelper},
    {"download filter", &RegisterFilterClass, &UnregisterFilterClass},
    {"toolbar band", &RegisterToolbar, &UnregisterToolbar},
};

HRESULT RunRegistration(const RegistrationStep* steps, std::size_t count) {
    CRegistryJournal journal;
    bool allDone = true;
    for (std::size_t i = 0; i < count; ++i) {
        try {
            if (!steps[i].Register(journal)) {
                REPORT_ASSERT("DllRegisterServer", steps[i].name);
                allDone = false;
            }
        } catch (...) {
            REPORT_ASSERT("DllRegisterServer", "Exception thrown");
            allDone = false;
        }
    }
    if (allDone)
        return S_OK;
    // Only this run's writes go: an earlier installation and the user's
    // options under SOFTWARE\Quillon stay as they were.
    journal.Undo();
    return E_FAIL;
}

HRESULT RunUnregistration(const RegistrationStep* steps, std::size_t count) {
    HRESULT result = S_OK;
    for (std::size_t i = 0; i < count; ++i) {
        try {
            steps[i].Unregister();
        } catch (...) {
            REPORT_ASSERT("DllUnregisterServer", "Exception thrown");
            result = E_FAIL;
        }
    }
    return result;
}
