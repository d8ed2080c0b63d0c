// Questions document evaluation asks of the browser's document objects.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <mshtml.h>
#include <oaidl.h>

// The document shown by a browser or frame object (IWebBrowser2), or null.
win::ComPtr<IDispatch> GetBrowserDocument(IDispatch* browser);

// Whether the document reports that it has the keyboard focus.
bool DocumentHasFocus(IDispatch* document);

// What has the focus inside a document.
enum class ActiveElementKind {
    kNone,            // nothing, or something other than a text field
    kTextInForm,      // a text field inside a form: `form` is set
    kTextWithoutForm  // a text field outside any form
};
ActiveElementKind GetActiveTextInputForm(IDispatch* document, win::ComPtr<IHTMLFormElement>& form);
