// The toolbar area of quillon-browse's browser window, as a band sees its
// site: IOleWindow gives the window the band's window goes into,
// IInputObjectSite hears of focus changes, and IServiceProvider leads to the
// browser object, as the browser's own band site does.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <exdisp.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <servprov.h>

class CBandSite final : public IOleWindow, public IInputObjectSite, public IServiceProvider {
public:
    static win::ComPtr<CBandSite> Create(HWND window, IWebBrowser2* browser);

    // Drops the browser when the window closes.
    void Detach() { browser_.Reset(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;
    // IInputObjectSite
    HRESULT STDMETHODCALLTYPE OnFocusChangeIS(IUnknown* object, BOOL focused) override;
    // IServiceProvider
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** object) override;

private:
    CBandSite(HWND window, IWebBrowser2* browser) : window_(window), browser_(browser) {}
    ~CBandSite() = default;

    ULONG references_ = 1;
    HWND window_;
    win::ComPtr<IWebBrowser2> browser_;
};
