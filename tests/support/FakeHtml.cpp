#include "tests/support/FakeHtml.h"

#include <algorithm>

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

// --- Page ---------------------------------------------------------------------

namespace testing_support {

namespace {

FakeDispatch* DispatchArgument(const VARIANT& argument) {
    if (argument.vt != VT_DISPATCH || !argument.pdispVal)
        return nullptr;
    // Every element of a FakeHtmlPage is a FakeDispatch of that page.
    return static_cast<FakeDispatch*>(argument.pdispVal);
}

std::wstring Escape(const std::wstring& text) {
    std::wstring escaped;
    for (const wchar_t c : text) {
        switch (c) {
        case L'&': escaped += L"&amp;"; break;
        case L'<': escaped += L"&lt;"; break;
        case L'>': escaped += L"&gt;"; break;
        case L'"': escaped += L"&quot;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

// A style property's CSS name: backgroundColor -> background-color.
std::wstring CssName(const std::wstring& name) {
    std::wstring css;
    for (const wchar_t c : name) {
        if (c >= L'A' && c <= L'Z') {
            css += L'-';
            css += static_cast<wchar_t>(c - L'A' + L'a');
        } else {
            css += c;
        }
    }
    return css;
}

}  // namespace

FakeHtmlPage::FakeHtmlPage(const std::wstring& url) {
    body_ = NewElement(L"body");
    document_ = FakeDispatch::Create();
    document_->SetString(L"URL", url);
    document_->SetObject(L"body", body_.Get());
    document_->SetMethod(L"createElement", [this](const std::vector<VARIANT>& arguments, VARIANT* result) {
        if (arguments.empty() || arguments[0].vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        win::ComPtr<FakeDispatch> element = NewElement(arguments[0].bstrVal);
        created_.push_back(element.Get());
        result->vt = VT_DISPATCH;
        result->pdispVal = element.Get();
        result->pdispVal->AddRef();
        return S_OK;
    });
    browser_ = FakeDispatch::Create();
    browser_->SetObject(L"Document", document_.Get());
    browser_->SetString(L"LocationURL", url);
}

FakeHtmlPage::~FakeHtmlPage() {
    // Elements point at each other (parentNode, nextSibling); the page cuts
    // those links so every element is released.
    for (const win::ComPtr<FakeDispatch>& element : elements_) {
        element->SetObject(L"parentNode", nullptr);
        element->SetObject(L"nextSibling", nullptr);
        for (const wchar_t* method : {L"insertBefore", L"appendChild", L"removeChild"})
            element->SetMethod(method, nullptr);
    }
    document_->SetObject(L"links", nullptr);
    document_->SetMethod(L"createElement", nullptr);
}

win::ComPtr<FakeDispatch> FakeHtmlPage::NewElement(const std::wstring& tag) {
    win::ComPtr<FakeDispatch> element = FakeDispatch::Create();
    element->SetString(L"tagName", tag);
    element->SetString(L"className", L"");
    element->SetString(L"id", L"");
    element->SetObject(L"style", FakeDispatch::Create().Get());
    element->SetObject(L"parentNode", nullptr);
    element->SetObject(L"nextSibling", nullptr);
    FakeDispatch* raw = element.Get();
    element->SetMethod(L"insertBefore", [this, raw](const std::vector<VARIANT>& arguments, VARIANT*) {
        if (arguments.empty())
            return DISP_E_BADPARAMCOUNT;
        return Insert(raw, DispatchArgument(arguments[0]),
                      arguments.size() > 1 ? DispatchArgument(arguments[1]) : nullptr);
    });
    element->SetMethod(L"appendChild", [this, raw](const std::vector<VARIANT>& arguments, VARIANT*) {
        return arguments.empty() ? DISP_E_BADPARAMCOUNT : Insert(raw, DispatchArgument(arguments[0]), nullptr);
    });
    element->SetMethod(L"removeChild", [this, raw](const std::vector<VARIANT>& arguments, VARIANT*) {
        return arguments.empty() ? DISP_E_BADPARAMCOUNT : Remove(raw, DispatchArgument(arguments[0]));
    });
    elements_.push_back(element);
    return element;
}

FakeDispatch* FakeHtmlPage::AddElement(FakeDispatch* parent, const std::wstring& tag, const std::wstring& className,
                                       const std::wstring& id) {
    win::ComPtr<FakeDispatch> element = NewElement(tag);
    element->SetString(L"className", className);
    element->SetString(L"id", id);
    Insert(parent ? parent : body_.Get(), element.Get(), nullptr);
    return element.Get();
}

FakeDispatch* FakeHtmlPage::AddLink(FakeDispatch* parent, const std::wstring& href, const std::wstring& text) {
    FakeDispatch* link = AddElement(parent, L"a");
    link->SetString(L"href", href);
    link->SetString(L"innerText", text);
    links_.push_back(link);
    std::vector<win::ComPtr<FakeDispatch>> links;
    for (FakeDispatch* each : links_)
        links.emplace_back(each);
    document_->SetObject(L"links", MakeCollection(links).Get());
    return link;
}

HRESULT FakeHtmlPage::Insert(FakeDispatch* parent, FakeDispatch* child, FakeDispatch* before) {
    if (!child)
        return E_INVALIDARG;
    if (const auto old = parents_.find(child); old != parents_.end())
        Remove(old->second, child);
    std::vector<FakeDispatch*>& children = children_[parent];
    auto at = std::find(children.begin(), children.end(), before);
    if (before && at == children.end())
        return E_INVALIDARG;  // the browser refuses a reference node of another parent
    children.insert(at, child);
    parents_[child] = parent;
    child->SetObject(L"parentNode", parent);
    Relink(parent);
    return S_OK;
}

HRESULT FakeHtmlPage::Remove(FakeDispatch* parent, FakeDispatch* child) {
    std::vector<FakeDispatch*>& children = children_[parent];
    const auto at = std::find(children.begin(), children.end(), child);
    if (at == children.end())
        return E_INVALIDARG;
    children.erase(at);
    parents_.erase(child);
    child->SetObject(L"parentNode", nullptr);
    child->SetObject(L"nextSibling", nullptr);
    Relink(parent);
    return S_OK;
}

void FakeHtmlPage::Relink(FakeDispatch* parent) {
    const std::vector<FakeDispatch*>& children = children_[parent];
    for (std::size_t i = 0; i < children.size(); ++i)
        children[i]->SetObject(L"nextSibling", i + 1 < children.size() ? children[i + 1] : nullptr);
}

FakeDispatch* FakeHtmlPage::NextSibling(FakeDispatch* element) const {
    const auto parent = parents_.find(element);
    if (parent == parents_.end())
        return nullptr;
    const std::vector<FakeDispatch*>& children = children_.at(parent->second);
    const auto at = std::find(children.begin(), children.end(), element);
    return at + 1 < children.end() ? *(at + 1) : nullptr;
}

std::vector<FakeDispatch*> FakeHtmlPage::CreatedInTree() const {
    std::vector<FakeDispatch*> inTree;
    for (FakeDispatch* element : created_) {
        if (parents_.count(element))
            inTree.push_back(element);
    }
    return inTree;
}

std::wstring FakeHtmlPage::StyleOf(FakeDispatch* element, const std::wstring& property) {
    VARIANT style;
    ::VariantInit(&style);
    DISPID id = 0;
    std::wstring name = L"style";
    LPOLESTR names[] = {&name[0]};
    if (FAILED(element->GetIDsOfNames(IID_NULL, names, 1, 0, &id)))
        return std::wstring();
    DISPPARAMS none = {};
    element->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &style, nullptr, nullptr);
    std::wstring value;
    if (style.vt == VT_DISPATCH && style.pdispVal)
        value = static_cast<FakeDispatch*>(style.pdispVal)->GetString(property);
    ::VariantClear(&style);
    return value;
}

std::wstring FakeHtmlPage::ElementHtml(FakeDispatch* element) const {
    const std::wstring tag = element->GetString(L"tagName");
    std::wstring html = L"<" + tag;
    for (const wchar_t* attribute : {L"className", L"id", L"href", L"src", L"title", L"width", L"height"}) {
        const std::wstring value = element->GetString(attribute);
        if (!value.empty())
            html += std::wstring(L" ") + (std::wstring(attribute) == L"className" ? L"class" : attribute) + L"=\"" +
                    Escape(value) + L"\"";
    }
    std::wstring css;
    for (const wchar_t* property : {L"backgroundColor", L"marginLeft", L"verticalAlign"}) {
        const std::wstring value = StyleOf(element, property);
        if (!value.empty())
            css += CssName(property) + L":" + value + L";";
    }
    if (!css.empty())
        html += L" style=\"" + Escape(css) + L"\"";
    html += L">";
    if (tag == L"img")
        return html;
    html += Escape(element->GetString(L"innerText"));
    if (const auto children = children_.find(element); children != children_.end()) {
        for (FakeDispatch* child : children->second)
            html += ElementHtml(child);
    }
    return html + L"</" + tag + L">";
}

std::wstring FakeHtmlPage::ToHtml() const {
    return L"<!DOCTYPE html><html>" + ElementHtml(body_.Get()) + L"</html>";
}

}  // namespace testing_support
