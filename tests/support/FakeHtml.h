// Stand-ins for the browser's document objects that page evaluation asks
// about: a frame's browser object (IWebBrowser2) and its document
// (IHTMLDocument2, IHTMLDocument4), the focused element (IHTMLElement,
// IHTMLInputTextElement) and a form (IHTMLFormElement). Only what the add-on
// calls is served; everything else answers E_NOTIMPL (ComStubs.h).
//
// A form's IDispatch side is a FakeDispatch given by the test ("elements"
// and so on), so the real page scripts can read it.
#pragma once

#include "tests/support/ComStubs.h"
#include "tests/support/FakeDispatch.h"
#include "utils/Ownership/WinOwnership.h"

#include <map>
#include <string>
#include <vector>

namespace testing_support {

class FakeHtmlForm : public IHTMLFormElementStub<> {
public:
    // scriptView answers the scripts' property reads (see PageScriptsTest's forms).
    static win::ComPtr<FakeHtmlForm> Create(win::ComPtr<FakeDispatch> scriptView);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;
    ULONG References() const { return references_; }

private:
    explicit FakeHtmlForm(win::ComPtr<FakeDispatch> scriptView) : scriptView_(std::move(scriptView)) {}
    virtual ~FakeHtmlForm() = default;

    ULONG references_ = 1;
    win::ComPtr<FakeDispatch> scriptView_;
};

// A focused element: a text field (inside `form`, or in no form when null),
// or, with isTextField false, some other element such as a button.
class FakeHtmlInput : public IHTMLElementStub<>, public IHTMLInputTextElementStub<> {
public:
    static win::ComPtr<FakeHtmlInput> Create(bool isTextField, IHTMLFormElement* form);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_form(IHTMLFormElement** form) override;

private:
    FakeHtmlInput(bool isTextField, IHTMLFormElement* form) : isTextField_(isTextField), form_(form) {}
    virtual ~FakeHtmlInput() = default;

    ULONG references_ = 1;
    bool isTextField_;
    win::ComPtr<IHTMLFormElement> form_;
};

class FakeHtmlDocument : public IHTMLDocument2Stub<>, public IHTMLDocument4Stub<> {
public:
    static win::ComPtr<FakeHtmlDocument> Create();

    void SetFocus(bool focus) { focus_ = focus; }
    void SetActiveElement(IHTMLElement* element) { active_ = element; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_activeElement(IHTMLElement** element) override;
    HRESULT STDMETHODCALLTYPE hasFocus(VARIANT_BOOL* focus) override;

private:
    FakeHtmlDocument() = default;
    virtual ~FakeHtmlDocument() = default;

    ULONG references_ = 1;
    bool focus_ = false;
    win::ComPtr<IHTMLElement> active_;
};

// The browser object of a page or frame: it shows one document.
class FakeWebBrowser : public IWebBrowser2Stub<> {
public:
    static win::ComPtr<FakeWebBrowser> Create();

    void SetDocument(IDispatch* document) { document_ = document; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** document) override;
    ULONG References() const { return references_; }

private:
    FakeWebBrowser() = default;
    virtual ~FakeWebBrowser() = default;

    ULONG references_ = 1;
    win::ComPtr<IDispatch> document_;
};

// A page as its scripts see it through IDispatch: a browser object
// ("Document", "LocationURL"), its document ("URL", "links",
// "createElement", "body") and a tree of elements, each with "tagName",
// "className", "id", "href" (links), "style", "parentNode", "nextSibling",
// "insertBefore", "appendChild" and "removeChild" kept true as scripts
// change the tree. Properties the scripts assign (badge "src", "title",
// style colours) are kept and can be read back. Enough of the browser's
// document for the safe-search scripts to mark a results page.
class FakeHtmlPage {
public:
    explicit FakeHtmlPage(const std::wstring& url);
    ~FakeHtmlPage();
    FakeHtmlPage(const FakeHtmlPage&) = delete;
    FakeHtmlPage& operator=(const FakeHtmlPage&) = delete;

    FakeDispatch* Body() const { return body_.Get(); }
    // An element appended to parent (null: the body).
    FakeDispatch* AddElement(FakeDispatch* parent, const std::wstring& tag, const std::wstring& className = L"",
                             const std::wstring& id = L"");
    // A link appended to parent, with its text; it joins document.links.
    FakeDispatch* AddLink(FakeDispatch* parent, const std::wstring& href, const std::wstring& text = L"result");

    // The browser object showing this page.
    IDispatch* Browser() const { return browser_.Get(); }
    FakeDispatch* Document() const { return document_.Get(); }
    const std::vector<FakeDispatch*>& Links() const { return links_; }
    // The element right after `element` among its parent's children, or null.
    FakeDispatch* NextSibling(FakeDispatch* element) const;
    // Every element the scripts created with createElement, in order.
    const std::vector<FakeDispatch*>& Created() const { return created_; }
    // The created elements now in the tree.
    std::vector<FakeDispatch*> CreatedInTree() const;
    // A property of the element's style ("backgroundColor").
    static std::wstring StyleOf(FakeDispatch* element, const std::wstring& property);
    // The page as HTML, scripts' changes included (for a screenshot).
    std::wstring ToHtml() const;

private:
    win::ComPtr<FakeDispatch> NewElement(const std::wstring& tag);
    HRESULT Insert(FakeDispatch* parent, FakeDispatch* child, FakeDispatch* before);
    HRESULT Remove(FakeDispatch* parent, FakeDispatch* child);
    void Relink(FakeDispatch* parent);
    std::wstring ElementHtml(FakeDispatch* element) const;

    std::vector<win::ComPtr<FakeDispatch>> elements_;  // owns every element
    std::map<FakeDispatch*, std::vector<FakeDispatch*>> children_;
    std::map<FakeDispatch*, FakeDispatch*> parents_;
    std::vector<FakeDispatch*> links_;
    std::vector<FakeDispatch*> created_;
    win::ComPtr<FakeDispatch> body_;
    win::ComPtr<FakeDispatch> document_;
    win::ComPtr<FakeDispatch> browser_;
};

}  // namespace testing_support
