#include "utils/XML/CXMLDoc.h"

#include "utils/Com/ScopedBstr.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Text/AnsiWide.h"

namespace {

// msxml2.h declares no class ids: ask the registry for the parser's.
HRESULT CreateParser(win::ComPtr<IXMLDOMDocument>* document) {
    CLSID parser = {};
    RETURN_IF_FAILED(::CLSIDFromProgID(L"Microsoft.XMLDOM", &parser));
    return ::CoCreateInstance(parser, nullptr, CLSCTX_SERVER, IID_IXMLDOMDocument,
                              document->ReleaseAndGetVoidAddressOf());
}

}  // namespace

void CXMLDoc::Clear() {
    SetNode(nullptr);
    document_.Reset();
}

bool CXMLDoc::Set(const char* text) {
    Clear();
    if (!text) {
        REPORT_ASSERT("CXMLDoc::Set", "NULL pointer");
        return false;
    }
    win::ComPtr<IXMLDOMDocument> document;
    if (FAILED(CreateParser(&document)) || !document) {
        REPORT_ASSERT("CXMLDoc::Set", "Failed to instanciate XMLDOM");
        return false;
    }
    win::ComPtr<IXMLDOMNode> root;
    if (FAILED(document->QueryInterface(IID_IXMLDOMNode, root.ReleaseAndGetVoidAddressOf())) || !root) {
        REPORT_ASSERT("CXMLDoc::Set", "XML Doc not an XML Node!?");
        return false;
    }
    const win::ScopedBstr source(AnsiToWide(text));
    VARIANT_BOOL parsed = VARIANT_FALSE;
    if (FAILED(document->loadXML(source.Get(), &parsed)) || parsed != VARIANT_TRUE) {
        REPORT_ASSERT("CXMLDoc::Set", "Error parsing XML");
        return false;
    }
    document_ = std::move(document);
    SetNode(std::move(root));
    return true;
}
