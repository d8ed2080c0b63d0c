#include "tests/support/FakeBrowser.h"

#include "utils/Text/AnsiWide.h"

#include <exdispid.h>

namespace testing_support {

namespace {

void RegisterPlainClass(const char* name) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    ::RegisterClassA(&windowClass);  // already there is fine
}

std::string Text(const VARIANT* value) {
    if (!value)
        return "(null)";
    if (value->vt == VT_BSTR)
        return value->bstrVal ? WideToAnsi(value->bstrVal) : std::string();
    if (value->vt == VT_I4)
        return std::to_string(value->lVal);
    if (value->vt == VT_BOOL)
        return value->boolVal ? "true" : "false";
    return "(vt " + std::to_string(value->vt) + ")";
}

// The variants one event carries, owned for the time of the event.
struct EventArguments {
    explicit EventArguments(std::size_t count) : values(count), inner(count) {
        for (VARIANT& value : values)
            ::VariantInit(&value);
        for (VARIANT& value : inner)
            ::VariantInit(&value);
    }
    ~EventArguments() {
        for (VARIANT& value : inner)
            ::VariantClear(&value);
    }
    // values[i] = VT_BYREF|VT_VARIANT pointing at inner[i], which holds a BSTR (or VT_NULL-less empty BSTR).
    void ByRefString(std::size_t i, const wchar_t* text) {
        inner[i].vt = VT_BSTR;
        inner[i].bstrVal = text ? ::SysAllocString(text) : nullptr;
        values[i].vt = VT_BYREF | VT_VARIANT;
        values[i].pvarVal = &inner[i];
    }
    std::vector<VARIANT> values;
    std::vector<VARIANT> inner;
};

}  // namespace

win::ComPtr<FakeBrowser> FakeBrowser::Create(bool withWindows) {
    win::ComPtr<FakeBrowser> browser;
    browser.Attach(new FakeBrowser(withWindows));
    return browser;
}

FakeBrowser::FakeBrowser(bool withWindows)
    : point_(FakeConnectionPoint::Create(DIID_DWebBrowserEvents2, this)) {
    if (withWindows)
        CreateWindows();
}

FakeBrowser::~FakeBrowser() = default;

void FakeBrowser::CreateWindows() {
    RegisterPlainClass(kFrameClass);
    RegisterPlainClass(kViewClass);
    RegisterPlainClass(kDocumentClass);
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    frame_.Reset(::CreateWindowExA(0, kFrameClass, "Fake browser", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                   nullptr, instance, nullptr));
    view_ = ::CreateWindowExA(0, kViewClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, frame_.Get(), nullptr,
                              instance, nullptr);
    ReplaceDocumentWindow();
}

void FakeBrowser::ReplaceDocumentWindow() {
    if (document_)
        ::DestroyWindow(document_);
    document_ = ::CreateWindowExA(0, kDocumentClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, view_, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
}

HRESULT STDMETHODCALLTYPE FakeBrowser::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser || iid == IID_IWebBrowserApp ||
        iid == IID_IWebBrowser2) {
        *object = static_cast<IWebBrowser2*>(this);
    } else if (iid == IID_IConnectionPointContainer) {
        *object = static_cast<IConnectionPointContainer*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE FakeBrowser::AddRef() {
    return ++references_;
}

ULONG STDMETHODCALLTYPE FakeBrowser::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::GetTypeInfoCount(UINT* count) {
    if (count)
        *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                                     DISPID* ids) {
    return scriptView_ ? scriptView_->GetIDsOfNames(iid, names, count, locale, ids) : DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                              DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                              UINT* argumentError) {
    return scriptView_ ? scriptView_->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError)
                       : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::Navigate(BSTR url, VARIANT* flags, VARIANT* frame, VARIANT* postData,
                                                VARIANT* headers) {
    calls_.push_back("Navigate " + (url ? WideToAnsi(url) : std::string()) + " " + Text(flags) + " " + Text(frame) +
                     " " + Text(postData) + " " + Text(headers));
    if (refuseNavigate_)
        return E_FAIL;
    // As the browser does, the new navigation is announced before Navigate returns.
    if (!FireBeforeNavigate2(static_cast<IWebBrowser2*>(this), url ? url : L""))
        location_ = url ? url : L"";
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::Stop() {
    calls_.push_back("Stop");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::Refresh() {
    calls_.push_back("Refresh");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::get_LocationURL(BSTR* url) {
    if (!url)
        return E_POINTER;
    *url = ::SysAllocString(location_.c_str());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::get_HWND(SHANDLE_PTR* window) {
    if (!window)
        return E_POINTER;
    *window = refuseWindow_ ? 0 : reinterpret_cast<SHANDLE_PTR>(frame_.Get());
    return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::get_ReadyState(READYSTATE* state) {
    if (!state)
        return E_POINTER;
    *state = readyState_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::get_Document(IDispatch** document) {
    if (!document)
        return E_POINTER;
    return page_.CopyTo(document);
}

HRESULT STDMETHODCALLTYPE FakeBrowser::ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT*) {
    calls_.push_back("ShowBrowserBar " + Text(clsid) + " " + Text(show));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points)
        *points = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (iid != DIID_DWebBrowserEvents2)
        return CONNECT_E_NOCONNECTION;
    *point = point_.Get();
    (*point)->AddRef();
    return S_OK;
}

bool FakeBrowser::FireBeforeNavigate2(IDispatch* disp, const std::wstring& url) {
    EventArguments arguments(7);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT postData;
    ::VariantInit(&postData);
    arguments.values[6].vt = VT_DISPATCH;
    arguments.values[6].pdispVal = disp;
    arguments.ByRefString(5, url.c_str());
    arguments.inner[4].vt = VT_I4;
    arguments.inner[4].lVal = 0;
    arguments.values[4].vt = VT_BYREF | VT_VARIANT;
    arguments.values[4].pvarVal = &arguments.inner[4];
    arguments.ByRefString(3, nullptr);
    arguments.inner[2].vt = VT_BYREF | VT_VARIANT;
    arguments.inner[2].pvarVal = &postData;
    arguments.values[2].vt = VT_BYREF | VT_VARIANT;
    arguments.values[2].pvarVal = &arguments.inner[2];
    arguments.ByRefString(1, nullptr);
    arguments.values[0].vt = VT_BYREF | VT_BOOL;
    arguments.values[0].pboolVal = &cancel;
    DISPPARAMS parameters = {arguments.values.data(), nullptr, 7, 0};
    point_->Fire(DISPID_BEFORENAVIGATE2, &parameters);
    // The nested postData variant is not the inner one's to clear.
    arguments.inner[2].vt = VT_EMPTY;
    return cancel == VARIANT_TRUE;
}

void FakeBrowser::FireNavigateComplete2(IDispatch* disp, const std::wstring& url) {
    EventArguments arguments(2);
    arguments.values[1].vt = VT_DISPATCH;
    arguments.values[1].pdispVal = disp;
    arguments.ByRefString(0, url.c_str());
    DISPPARAMS parameters = {arguments.values.data(), nullptr, 2, 0};
    point_->Fire(DISPID_NAVIGATECOMPLETE2, &parameters);
}

void FakeBrowser::FireDocumentComplete(IDispatch* disp, const std::wstring& url) {
    EventArguments arguments(2);
    arguments.values[1].vt = VT_DISPATCH;
    arguments.values[1].pdispVal = disp;
    arguments.ByRefString(0, url.c_str());
    DISPPARAMS parameters = {arguments.values.data(), nullptr, 2, 0};
    point_->Fire(DISPID_DOCUMENTCOMPLETE, &parameters);
}

void FakeBrowser::FireDownloadBegin() {
    DISPPARAMS parameters = {nullptr, nullptr, 0, 0};
    point_->Fire(DISPID_DOWNLOADBEGIN, &parameters);
}

void FakeBrowser::FireDownloadComplete() {
    DISPPARAMS parameters = {nullptr, nullptr, 0, 0};
    point_->Fire(DISPID_DOWNLOADCOMPLETE, &parameters);
}

void FakeBrowser::FireCommandStateChange(long command, bool enable) {
    VARIANT values[2];
    values[1].vt = VT_I4;
    values[1].lVal = command;
    values[0].vt = VT_BOOL;
    values[0].boolVal = enable ? VARIANT_TRUE : VARIANT_FALSE;
    DISPPARAMS parameters = {values, nullptr, 2, 0};
    point_->Fire(DISPID_COMMANDSTATECHANGE, &parameters);
}

void FakeBrowser::FireQuit() {
    DISPPARAMS parameters = {nullptr, nullptr, 0, 0};
    point_->Fire(DISPID_ONQUIT, &parameters);
}

bool FakeBrowser::BrowsePage(const std::wstring& url) {
    IDispatch* self = static_cast<IWebBrowser2*>(this);
    readyState_ = READYSTATE_LOADING;
    if (FireBeforeNavigate2(self, url)) {
        readyState_ = READYSTATE_COMPLETE;
        return false;
    }
    FireDownloadBegin();
    FireCommandStateChange(-1, true);
    location_ = url;
    FireNavigateComplete2(self, url);
    readyState_ = READYSTATE_COMPLETE;
    FireDocumentComplete(self, url);
    FireDownloadComplete();
    return true;
}

}  // namespace testing_support
