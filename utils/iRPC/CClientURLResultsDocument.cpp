// Building a site verdict from the service's answer document (Windows: the
// document is read with the platform XML parser).
#include "utils/iRPC/CClientURLResults.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/XML/CXMLDoc.h"
#include "utils/iRPC/BuiltInSiteList.h"
#include "utils/iRPC/ResultDocument.h"

CClientURLResults::CClientURLResults(const char* document) : CClientURLResults() {
    if (document)
        ReadDocument(document);
}

void CClientURLResults::ReadDocument(const char* document) {
    const CXMLDoc xml(document);
    const std::unique_ptr<CXMLNode> info = xml.Child("DomainQueryResponse/DomainInfo");
    if (!info) {
        REPORT_ASSERT("CClientURLResults::CClientURLResults", "No DomainQueryResponse/DomainInfo node");
        return;
    }
    if (!ReadExpiry(*info, expiry_))
        return;
    name_ = info->GetAttribute("name");
    const std::unique_ptr<CXMLNode> classification = info->Child("Classification");
    if (!ReadVerdictElement(classification.get(), code_, &color_, description_)) {
        REPORT_ASSERT("CClientURLResults::CClientURLResults", "No Classification node");
        return;
    }
    if (IsBuiltInSite(name_)) {
        code_ = VERDICT_OK;
        color_ = COLOR_GREEN;
    }
    if (code_ == VERDICT_UNKNOWN)
        color_ = COLOR_GREY;

    if (const std::unique_ptr<CXMLNode> facets = info->Child("FacetInfos")) {
        for (int facet = 0; facet < kFacetCount; ++facet) {
            const std::unique_ptr<CXMLNode> element = facets->Child(kFacetElementNames[facet]);
            // Facet colours are not used.
            ReadVerdictElement(element.get(), facetCodes_[facet], nullptr, facetDescriptions_[facet]);
        }
    }
    ApplyDefaults();
}
