// The browser toolbar band that carries the status button. The browser
// creates one per browser window (per tab thread) from the toolbar
// registration, sites it in its toolbar area, and places the window that
// GetWindow answers. The band enters itself in the running-browser map for
// its thread, where the browser helper and the status button find it.
//
// Window tree: the band window (a hidden child of the site's window), in it
// the toolbar control (CTBCtrl), in its one slot the menu bar with the
// status button.
#pragma once

#include "ie/Module/ModuleLock.h"
#include "ie/UI/TBCtrl.h"
#include "utils/Ownership/WinOwnership.h"

#include <shlobj.h>
#include <shobjidl.h>

class CMenuBarWnd;

class CToolbar final : public IDeskBand, public IObjectWithSite, public IInputObject, public IPersistStream {
public:
    static constexpr LONG kMinWidth = 90;
    static constexpr LONG kMinHeight = 20;
    static constexpr LONG kMaxWidth = 30;

    // The class factory's create function.
    static HRESULT CreateInstance(REFIID iid, void** object);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;
    // IDockingWindow
    HRESULT STDMETHODCALLTYPE ShowDW(BOOL show) override;
    HRESULT STDMETHODCALLTYPE CloseDW(DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE ResizeBorderDW(LPCRECT border, IUnknown* site, BOOL reserved) override;
    // IDeskBand
    HRESULT STDMETHODCALLTYPE GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) override;

    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
    HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** site) override;

    // IInputObject
    HRESULT STDMETHODCALLTYPE UIActivateIO(BOOL activate, MSG* message) override;
    HRESULT STDMETHODCALLTYPE HasFocusIO() override;
    HRESULT STDMETHODCALLTYPE TranslateAcceleratorIO(MSG* message) override;

    // IPersist, IPersistStream: the band keeps no state of its own.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;

    // The menu bar while the band's windows exist, else null.
    CMenuBarWnd* MenuBar();
    HWND BandWindow() const { return bandWindow_.Get(); }
    HWND ControlWindow() const { return control_.Window(); }
    DWORD BandId() const { return bandId_; }
    DWORD ViewMode() const { return viewMode_; }
    // Whether this band is the one of its thread in the running-browser map.
    bool InBrowserMap() const { return mapThread_ != 0; }

private:
    CToolbar();
    ~CToolbar();

    HRESULT Attach(IUnknown* site);
    // Destroys the windows; safe to run any number of times.
    void DestroyWindows();
    void LeaveBrowserMap();
    bool CreateBandWindow(const RECT& rect);
    void OnFocusChange(bool focused);

    static LRESULT CALLBACK BandWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR data);

    LONG references_ = 1;
    CModuleReference moduleReference_;

    win::ComPtr<IUnknown> site_;
    win::ComPtr<IInputObjectSite> inputSite_;
    HWND siteWindow_ = nullptr;
    // Members go in the reverse order of their destruction: the control
    // before the band window it lives in.
    win::UniqueWindow bandWindow_;
    CTBCtrl control_;
    DWORD bandId_ = 0;
    DWORD viewMode_ = 0;
    // The thread whose map entry this band holds; 0 for none.
    DWORD mapThread_ = 0;
};
