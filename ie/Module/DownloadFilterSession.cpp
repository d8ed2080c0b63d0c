#include "ie/Module/DownloadFilterSession.h"

#include "ie/Module/ClassTable.h"
#include "ie/Module/ModuleClasses.h"
#include "utils/Ownership/WinOwnership.h"

#include <urlmon.h>

const wchar_t* const kScreenedMimeTypes[] = {
    L"application/octet-stream",
    L"application/x-msdos-program",
    L"application/zip",
    L"application/x-oleobject",
    nullptr,
};

namespace {

bool FilterAndSession(win::ComPtr<IClassFactory>& factory, win::ComPtr<IInternetSession>& session) {
    if (FAILED(GetModuleClassObject(CLSID_QuillonMimeFilter, IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf())))
        return false;
    return SUCCEEDED(::CoInternetGetSession(0, session.ReleaseAndGetAddressOf(), 0)) && session;
}

}  // namespace

bool RegisterDownloadFilter() {
    win::ComPtr<IClassFactory> factory;
    win::ComPtr<IInternetSession> session;
    if (!FilterAndSession(factory, session))
        return false;
    for (const wchar_t* const* type = kScreenedMimeTypes; *type; ++type) {
        if (FAILED(session->RegisterMimeFilter(factory.Get(), CLSID_QuillonMimeFilter, *type)))
            return false;
    }
    return true;
}

bool UnregisterDownloadFilter() {
    win::ComPtr<IClassFactory> factory;
    win::ComPtr<IInternetSession> session;
    if (!FilterAndSession(factory, session))
        return false;
    for (const wchar_t* const* type = kScreenedMimeTypes; *type; ++type) {
        if (FAILED(session->UnregisterMimeFilter(factory.Get(), *type)))
            return false;
    }
    return true;
}
