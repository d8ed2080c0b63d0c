// One HTML form element of a page, held by its form evaluator.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <mshtml.h>

class CHTMLForm {
public:
    // Queries the element for the form interface; a null element or one that
    // is not a form is reported and leaves the object without a form.
    explicit CHTMLForm(IUnknown* element);
    CHTMLForm(const CHTMLForm&) = delete;
    CHTMLForm& operator=(const CHTMLForm&) = delete;

    IHTMLFormElement* Element() const { return form_.Get(); }
    // Whether `element` is this same form (COM identity, not pointer value).
    bool IsSameElement(IUnknown* element) const;

private:
    win::ComPtr<IHTMLFormElement> form_;
};
