#include "utils/HTMLHelpers/CHTMLForm.h"

#include "utils/Diagnostics/ReportAssert.h"

namespace {

win::ComPtr<IUnknown> Identity(IUnknown* object) {
    win::ComPtr<IUnknown> identity;
    if (object)
        object->QueryInterface(IID_IUnknown, identity.ReleaseAndGetVoidAddressOf());
    return identity;
}

}  // namespace

CHTMLForm::CHTMLForm(IUnknown* element) {
    if (!element) {
        REPORT_ASSERT("CHTMLForm::CHTMLForm", "NULL pointer");
        return;
    }
    if (FAILED(element->QueryInterface(__uuidof(IHTMLFormElement), form_.ReleaseAndGetVoidAddressOf())) || !form_) {
        form_.Reset();
        REPORT_ASSERT("CHTMLForm::CHTMLForm", "IUnknown isn't an IHTMLFormElement");
    }
}

bool CHTMLForm::IsSameElement(IUnknown* element) const {
    if (!form_ || !element)
        return false;
    const win::ComPtr<IUnknown> mine = Identity(form_.Get());
    return mine && mine == Identity(element);
}
