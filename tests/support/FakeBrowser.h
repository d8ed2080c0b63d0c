// A stand-in for the browser's top-level browser object, which no machine
// here has: the IWebBrowser2 members the add-on uses, a real
// DWebBrowserEvents2 connection point that fires events through
// IDispatch::Invoke with the browser's argument order and types, the
// browser's window tree ("IEFrame" > "Shell DocObject View" >
// "Internet Explorer_Server", made on the creating thread), and counted
// references that tests check for leaks.
#pragma once

#include "tests/support/ComStubs.h"
#include "tests/support/FakeConnectionPoint.h"
#include "utils/Ownership/WinOwnership.h"

#include <ocidl.h>

#include <string>
#include <vector>

namespace testing_support {

class FakeBrowser : public IWebBrowser2Stub<>, public IConnectionPointContainer {
public:
    static constexpr char kFrameClass[] = "IEFrame";
    static constexpr char kViewClass[] = "Shell DocObject View";
    static constexpr char kDocumentClass[] = "Internet Explorer_Server";

    // withWindows: a top-level browser has them; a frame's browser object does not.
    static win::ComPtr<FakeBrowser> Create(bool withWindows = true);

    // What the add-on asked of the browser, in order: "Stop", "Navigate <url>
    // <flags> <frame>", "ShowBrowserBar <clsid> <show>", "Refresh".
    std::vector<std::string> Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    ULONG References() const { return references_; }
    std::size_t SinkCount() const { return point_->SinkCount(); }
    FakeConnectionPoint& Point() { return *point_.Get(); }

    void SetLocation(const std::wstring& url) { location_ = url; }
    // The document get_Document answers (none: S_OK with null, as before the first page).
    void SetDocument(IDispatch* document) { page_ = document; }
    // What scripts see of this browser object by name ("Document", ...);
    // without one its IDispatch knows no names.
    void SetScriptView(IDispatch* view) { scriptView_ = view; }
    void SetReadyState(READYSTATE state) { readyState_ = state; }
    void RefuseNavigate(bool refuse) { refuseNavigate_ = refuse; }
    void RefuseWindow(bool refuse) { refuseWindow_ = refuse; }

    HWND FrameWindow() const { return frame_.Get(); }
    HWND ViewWindow() const { return view_; }
    HWND DocumentWindow() const { return document_; }
    // Replaces the document window, as the browser does for a new document.
    void ReplaceDocumentWindow();

    // Events, with the browser's argument layouts. `disp` is the browser
    // object the event concerns: this one for the page, a frame's for a frame.
    // BeforeNavigate2 answers whether a handler cancelled the navigation.
    bool FireBeforeNavigate2(IDispatch* disp, const std::wstring& url);
    void FireNavigateComplete2(IDispatch* disp, const std::wstring& url);
    void FireDocumentComplete(IDispatch* disp, const std::wstring& url);
    void FireDownloadBegin();
    void FireDownloadComplete();
    void FireCommandStateChange(long command, bool enable);
    void FireQuit();
    // One plain page the way the browser reports it: BeforeNavigate2,
    // DownloadBegin, CommandStateChange, NavigateComplete2, DocumentComplete,
    // DownloadComplete. False when the navigation was cancelled (the browser
    // then reports no more of it).
    bool BrowsePage(const std::wstring& url);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: the browser object's own properties are not scripted here.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
    // IWebBrowser2 members the add-on uses
    HRESULT STDMETHODCALLTYPE Navigate(BSTR url, VARIANT* flags, VARIANT* frame, VARIANT* postData,
                                       VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* url) override;
    HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* window) override;
    HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE* state) override;
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** document) override;
    HRESULT STDMETHODCALLTYPE ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT* size) override;
    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    explicit FakeBrowser(bool withWindows);
    virtual ~FakeBrowser();
    void CreateWindows();

    ULONG references_ = 1;
    win::ComPtr<FakeConnectionPoint> point_;
    std::vector<std::string> calls_;
    std::wstring location_;
    win::ComPtr<IDispatch> scriptView_;
    READYSTATE readyState_ = READYSTATE_COMPLETE;
    bool refuseNavigate_ = false;
    bool refuseWindow_ = false;
    win::ComPtr<IDispatch> page_;
    win::UniqueWindow frame_;
    HWND view_ = nullptr;
    HWND document_ = nullptr;
};

}  // namespace testing_support
