#include "ie/UI/Toolbar.h"

#include "ie/Module/ModuleClasses.h"
#include "ie/Module/RunningBrowserMap.h"
#include "ie/UI/MenuBarWnd.h"
#include "ie/UI/WindowObject.h"
#include "utils/Window/UWindowClass.h"
#include "utils/Diagnostics/ReportAssert.h"

#include <cstdio>

namespace {

const UWindowClass& BandWindowClass(WNDPROC procedure) {
    static const UWindowClass windowClass("QuillonBandWindow", procedure);
    return windowClass;
}

// Shows under Wine what a host asks for that the band does not serve.
void TraceUnservedInterface(REFIID iid) {
    wchar_t text[64] = {};
    ::StringFromGUID2(iid, text, 64);
    char line[96];
    std::snprintf(line, sizeof line, "CToolbar::QueryInterface: no %ls\n", text);
    ::OutputDebugStringA(line);
}

}  // namespace

HRESULT CToolbar::CreateInstance(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    CToolbar* band = new CToolbar();
    const HRESULT result = band->QueryInterface(iid, object);
    band->Release();
    return result;
}

CToolbar::CToolbar() : control_(static_cast<IDeskBand*>(this)) {
    control_.SetFocusListener([this](bool focused) { OnFocusChange(focused); });
}

CToolbar::~CToolbar() {
    DestroyWindows();
    LeaveBrowserMap();
}

// IUnknown

HRESULT STDMETHODCALLTYPE CToolbar::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IDockingWindow || iid == IID_IDeskBand) {
        *object = static_cast<IDeskBand*>(this);
    } else if (iid == IID_IObjectWithSite) {
        *object = static_cast<IObjectWithSite*>(this);
    } else if (iid == IID_IInputObject) {
        *object = static_cast<IInputObject*>(this);
    } else if (iid == IID_IPersist || iid == IID_IPersistStream) {
        *object = static_cast<IPersistStream*>(this);
    } else {
        *object = nullptr;
        TraceUnservedInterface(iid);
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CToolbar::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE CToolbar::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// IOleWindow

HRESULT STDMETHODCALLTYPE CToolbar::GetWindow(HWND* window) {
    if (!window) {
        REPORT_ASSERT("CToolbar::GetWindow", "NULL pointer");
        return E_INVALIDARG;
    }
    *window = control_.Window();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CToolbar::ContextSensitiveHelp(BOOL) {
    return S_OK;
}

// IDockingWindow

HRESULT STDMETHODCALLTYPE CToolbar::ShowDW(BOOL show) {
    try {
        if (control_.Window())
            ::ShowWindow(control_.Window(), show ? SW_SHOW : SW_HIDE);
        return S_OK;
    } catch (...) {
        REPORT_ASSERT("CToolbar::ShowDW", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CToolbar::CloseDW(DWORD) {
    try {
        DestroyWindows();
        return S_OK;
    } catch (...) {
        REPORT_ASSERT("CToolbar::CloseDW", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CToolbar::ResizeBorderDW(LPCRECT, IUnknown*, BOOL) {
    return E_NOTIMPL;
}

// IDeskBand

HRESULT STDMETHODCALLTYPE CToolbar::GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) {
    if (!info)
        return E_INVALIDARG;
    bandId_ = bandId;
    viewMode_ = viewMode;
    if (info->dwMask & DBIM_MINSIZE) {
        info->ptMinSize.x = kMinWidth;
        info->ptMinSize.y = kMinHeight;
    }
    if (info->dwMask & DBIM_MAXSIZE) {
        info->ptMaxSize.x = kMaxWidth;
        info->ptMaxSize.y = -1;  // no height limit
    }
    if (info->dwMask & DBIM_INTEGRAL) {
        info->ptIntegral.x = 1;
        info->ptIntegral.y = 1;
    }
    if (info->dwMask & DBIM_ACTUAL) {
        info->ptActual.x = 0;
        info->ptActual.y = 0;
    }
    // No title and the default background: declined by clearing the bits.
    info->dwMask &= ~static_cast<DWORD>(DBIM_TITLE | DBIM_BKCOLOR);
    if (info->dwMask & DBIM_MODEFLAGS)
        info->dwModeFlags = DBIMF_NORMAL;
    return S_OK;
}

// IObjectWithSite

HRESULT STDMETHODCALLTYPE CToolbar::SetSite(IUnknown* site) {
    try {
        // A new site replaces the old one with everything built in it.
        DestroyWindows();
        LeaveBrowserMap();
        inputSite_.Reset();
        siteWindow_ = nullptr;
        site_ = site;
        if (!site)
            return S_OK;
        const HRESULT result = Attach(site);
        if (FAILED(result)) {
            DestroyWindows();
            LeaveBrowserMap();
        }
        return result;
    } catch (...) {
        REPORT_ASSERT("CToolbar::SetSite", "Exception thrown");
        DestroyWindows();
        LeaveBrowserMap();
        return E_FAIL;
    }
}

HRESULT CToolbar::Attach(IUnknown* site) {
    win::ComPtr<IOleWindow> oleWindow;
    if (FAILED(site->QueryInterface(IID_IOleWindow, oleWindow.ReleaseAndGetVoidAddressOf())) || !oleWindow) {
        REPORT_ASSERT("CToolbar::SetSite", "Site is not an IOleWindow");
        return E_FAIL;
    }
    if (FAILED(oleWindow->GetWindow(&siteWindow_)) || !siteWindow_) {
        siteWindow_ = nullptr;
        REPORT_ASSERT("CToolbar::SetSite", "Couldn't get site's window");
        return E_FAIL;
    }
    // Told of focus changes; a site without it simply is not told.
    site->QueryInterface(IID_IInputObjectSite, inputSite_.ReleaseAndGetVoidAddressOf());

    // A second band on a thread that has one would be found by nobody, and
    // its removal would take the other's entry: refused.
    const DWORD thread = ::GetCurrentThreadId();
    if (!RunningBrowserMap().AddToolbar(thread, this))
        return E_FAIL;
    mapThread_ = thread;

    RECT rect = {};
    ::GetClientRect(siteWindow_, &rect);
    if (!CreateBandWindow(rect) || !control_.Create(rect, bandWindow_.Get()))
        return E_FAIL;
    return S_OK;
}

bool CToolbar::CreateBandWindow(const RECT& rect) {
    const UWindowClass& windowClass = BandWindowClass(&CToolbar::BandWindowProcedure);
    if (!windowClass.Registered())
        return false;
    bandWindow_.Reset(::CreateWindowExA(0, windowClass.Name(), nullptr, WS_CHILD, rect.left, rect.top,
                                        rect.right - rect.left, rect.bottom - rect.top, siteWindow_, nullptr,
                                        windowClass.Instance(), this));
    if (!bandWindow_) {
        REPORT_ASSERT("CToolbar::SetSite", "Couldn't create the band window");
        return false;
    }
    return true;
}

HRESULT STDMETHODCALLTYPE CToolbar::GetSite(REFIID iid, void** site) {
    if (!site)
        return E_POINTER;
    *site = nullptr;
    if (!site_)
        return E_FAIL;
    return site_->QueryInterface(iid, site);
}

void CToolbar::DestroyWindows() {
    control_.Destroy();
    bandWindow_.Reset();
}

void CToolbar::LeaveBrowserMap() {
    if (!mapThread_)
        return;
    RunningBrowserMap().RemoveToolbar(mapThread_);
    mapThread_ = 0;
}

CMenuBarWnd* CToolbar::MenuBar() {
    return control_.MenuBar().Window() ? &control_.MenuBar() : nullptr;
}

// IInputObject

HRESULT STDMETHODCALLTYPE CToolbar::UIActivateIO(BOOL activate, MSG*) {
    if (activate && control_.Window())
        ::SetFocus(control_.Window());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CToolbar::HasFocusIO() {
    const HWND focus = ::GetFocus();
    const HWND control = control_.Window();
    return control && focus && (focus == control || ::IsChild(control, focus)) ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CToolbar::TranslateAcceleratorIO(MSG*) {
    // The band takes no keys: the browser keeps them all.
    return S_FALSE;
}

void CToolbar::OnFocusChange(bool focused) {
    if (inputSite_)
        inputSite_->OnFocusChangeIS(static_cast<IDeskBand*>(this), focused ? TRUE : FALSE);
}

// IPersistStream

HRESULT STDMETHODCALLTYPE CToolbar::GetClassID(CLSID* clsid) {
    if (!clsid)
        return E_POINTER;
    *clsid = CLSID_QuillonToolbar;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CToolbar::IsDirty() {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CToolbar::Load(IStream*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CToolbar::Save(IStream*, BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CToolbar::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size)
        return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

// The band window

LRESULT CALLBACK CToolbar::BandWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        CToolbar* band = WindowObject<CToolbar>(window, message, lParam);
        if (band && (message == WM_SETFOCUS || message == WM_KILLFOCUS))
            band->OnFocusChange(message == WM_SETFOCUS);
    } catch (...) {
        REPORT_ASSERT("CToolbar::BandWindowProcedure", "Exception thrown");
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}
