#include "tests/support/FakeHtml.h"

namespace testing_support {

namespace {

template <typename Object>
win::ComPtr<Object> Adopt(Object* object) {
    win::ComPtr<Object> pointer;
    pointer.Attach(object);
    return pointer;
}

}  // namespace

// --- Form ---------------------------------------------------------------------

win::ComPtr<FakeHtmlForm> FakeHtmlForm::Create(win::ComPtr<FakeDispatch> scriptView) {
    return Adopt(new FakeHtmlForm(std::move(scriptView)));
}

HRESULT FakeHtmlForm::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IHTMLFormElement))
        *object = static_cast<IHTMLFormElement*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG FakeHtmlForm::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT FakeHtmlForm::GetTypeInfoCount(UINT* count) {
    return scriptView_->GetTypeInfoCount(count);
}

HRESULT FakeHtmlForm::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    return scriptView_->GetTypeInfo(index, locale, info);
}

HRESULT FakeHtmlForm::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
    return scriptView_->GetIDsOfNames(iid, names, count, locale, ids);
}

HRESULT FakeHtmlForm::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                             VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    return scriptView_->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
}

// --- Focused element ----------------------------------------------------------------

win::ComPtr<FakeHtmlInput> FakeHtmlInput::Create(bool isTextField, IHTMLFormElement* form) {
    return Adopt(new FakeHtmlInput(isTextField, form));
}

HRESULT FakeHtmlInput::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IHTMLElement))
        *object = static_cast<IHTMLElement*>(this);
    else if (iid == __uuidof(IHTMLInputTextElement) && isTextField_)
        *object = static_cast<IHTMLInputTextElement*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG FakeHtmlInput::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT FakeHtmlInput::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT FakeHtmlInput::get_form(IHTMLFormElement** form) {
    if (!form)
        return E_POINTER;
    return form_.CopyTo(form);
}

// --- Document -----------------------------------------------------------------------

win::ComPtr<FakeHtmlDocument> FakeHtmlDocument::Create() {
    return Adopt(new FakeHtmlDocument());
}

HRESULT FakeHtmlDocument::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IHTMLDocument) ||
        iid == __uuidof(IHTMLDocument2))
        *object = static_cast<IHTMLDocument2*>(this);
    else if (iid == __uuidof(IHTMLDocument4))
        *object = static_cast<IHTMLDocument4*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG FakeHtmlDocument::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT FakeHtmlDocument::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT FakeHtmlDocument::get_activeElement(IHTMLElement** element) {
    if (!element)
        return E_POINTER;
    return active_.CopyTo(element);
}

HRESULT FakeHtmlDocument::hasFocus(VARIANT_BOOL* focus) {
    if (!focus)
        return E_POINTER;
    *focus = focus_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// --- Browser ------------------------------------------------------------------------

win::ComPtr<FakeWebBrowser> FakeWebBrowser::Create() {
    return Adopt(new FakeWebBrowser());
}

HRESULT FakeWebBrowser::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWebBrowser) ||
        iid == __uuidof(IWebBrowserApp) || iid == __uuidof(IWebBrowser2))
        *object = static_cast<IWebBrowser2*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG FakeWebBrowser::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT FakeWebBrowser::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT FakeWebBrowser::get_Document(IDispatch** document) {
    if (!document)
        return E_POINTER;
    return document_.CopyTo(document);
}

}  // namespace testing_support
