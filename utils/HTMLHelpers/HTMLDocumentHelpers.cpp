#include "utils/HTMLHelpers/HTMLDocumentHelpers.h"

#include <exdisp.h>

win::ComPtr<IDispatch> GetBrowserDocument(IDispatch* browser) {
    win::ComPtr<IDispatch> document;
    if (!browser)
        return document;
    win::ComPtr<IWebBrowser2> webBrowser;
    if (FAILED(browser->QueryInterface(__uuidof(IWebBrowser2), webBrowser.ReleaseAndGetVoidAddressOf())) || !webBrowser)
        return document;
    if (FAILED(webBrowser->get_Document(document.ReleaseAndGetAddressOf())))
        document.Reset();
    return document;
}

bool DocumentHasFocus(IDispatch* document) {
    if (!document)
        return false;
    win::ComPtr<IHTMLDocument4> document4;
    if (FAILED(document->QueryInterface(__uuidof(IHTMLDocument4), document4.ReleaseAndGetVoidAddressOf())) || !document4)
        return false;
    VARIANT_BOOL focus = VARIANT_FALSE;
    return SUCCEEDED(document4->hasFocus(&focus)) && focus != VARIANT_FALSE;
}

ActiveElementKind GetActiveTextInputForm(IDispatch* document, win::ComPtr<IHTMLFormElement>& form) {
    form.Reset();
    if (!document)
        return ActiveElementKind::kNone;
    win::ComPtr<IHTMLDocument2> document2;
    if (FAILED(document->QueryInterface(__uuidof(IHTMLDocument2), document2.ReleaseAndGetVoidAddressOf())) || !document2)
        return ActiveElementKind::kNone;
    win::ComPtr<IHTMLElement> active;
    if (FAILED(document2->get_activeElement(active.ReleaseAndGetAddressOf())) || !active)
        return ActiveElementKind::kNone;
    win::ComPtr<IHTMLInputTextElement> input;
    if (FAILED(active->QueryInterface(__uuidof(IHTMLInputTextElement), input.ReleaseAndGetVoidAddressOf())) || !input)
        return ActiveElementKind::kNone;
    if (FAILED(input->get_form(form.ReleaseAndGetAddressOf())) || !form) {
        form.Reset();
        return ActiveElementKind::kTextWithoutForm;
    }
    return ActiveElementKind::kTextInForm;
}
