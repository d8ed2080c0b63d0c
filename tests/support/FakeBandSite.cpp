#include "tests/support/FakeBandSite.h"

namespace testing_support {

namespace {

constexpr char kHostClass[] = "QuillonTestBandHost";

void RegisterHostClass() {
    static const bool registered = [] {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kHostClass;
        return ::RegisterClassExA(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

HWND FakeBandSite::Screen() {
    // Destroying a visible top-level window takes Wine seconds without a
    // window manager; this one is made once and goes with the process.
    static const HWND screen = [] {
        RegisterHostClass();
        return ::CreateWindowExA(0, kHostClass, "Band screen", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                 kScreenWidth, kScreenHeight, nullptr, nullptr, ::GetModuleHandleA(nullptr),
                                 nullptr);
    }();
    return screen;
}

win::ComPtr<FakeBandSite> FakeBandSite::Create(Kind kind, int x, int y, int width, int height) {
    win::ComPtr<FakeBandSite> site;
    site.Attach(new FakeBandSite(kind, x, y, width, height));
    return site;
}

FakeBandSite::FakeBandSite(Kind kind, int x, int y, int width, int height) : kind_(kind) {
    window_.Reset(::CreateWindowExA(0, kHostClass, "Band host", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                                    width, height, Screen(), nullptr, ::GetModuleHandleA(nullptr), nullptr));
}

HRESULT STDMETHODCALLTYPE FakeBandSite::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IInputObjectSite)
        *object = static_cast<IInputObjectSite*>(this);
    else if (iid == IID_IOleWindow && kind_ != Kind::kNoOleWindow)
        *object = static_cast<IOleWindow*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE FakeBandSite::AddRef() {
    return ++references_;
}

ULONG STDMETHODCALLTYPE FakeBandSite::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE FakeBandSite::GetWindow(HWND* window) {
    if (!window)
        return E_POINTER;
    *window = kind_ == Kind::kNoWindow ? nullptr : window_.Get();
    return kind_ == Kind::kNoWindow ? E_FAIL : S_OK;
}

HRESULT STDMETHODCALLTYPE FakeBandSite::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeBandSite::OnFocusChangeIS(IUnknown*, BOOL focused) {
    focusChanges_.push_back(focused != FALSE);
    return S_OK;
}

}  // namespace testing_support
