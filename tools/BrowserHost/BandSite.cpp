#include "tools/BrowserHost/BandSite.h"

#include <shlguid.h>

win::ComPtr<CBandSite> CBandSite::Create(HWND window, IWebBrowser2* browser) {
    win::ComPtr<CBandSite> site;
    site.Attach(new CBandSite(window, browser));
    return site;
}

HRESULT STDMETHODCALLTYPE CBandSite::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleWindow) {
        *object = static_cast<IOleWindow*>(this);
    } else if (iid == IID_IInputObjectSite) {
        *object = static_cast<IInputObjectSite*>(this);
    } else if (iid == IID_IServiceProvider) {
        *object = static_cast<IServiceProvider*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CBandSite::AddRef() {
    return ++references_;
}

ULONG STDMETHODCALLTYPE CBandSite::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE CBandSite::GetWindow(HWND* window) {
    if (!window)
        return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CBandSite::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CBandSite::OnFocusChangeIS(IUnknown*, BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBandSite::QueryService(REFGUID service, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    // The browser answers for itself under both of its service names.
    if (browser_ && (service == SID_SWebBrowserApp || service == SID_SInternetExplorer))
        return browser_->QueryInterface(iid, object);
    return E_NOINTERFACE;
}
