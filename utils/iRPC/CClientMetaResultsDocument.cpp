// Building domain facts from the service's answer document (Windows).
#include "utils/iRPC/CClientMetaResults.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/URL/RegExText.h"
#include "utils/XML/CXMLDoc.h"
#include "utils/iRPC/ResultDocument.h"

namespace {

// The patterns arrive as one text, separated by tabs; empty pieces are dropped.
std::vector<std::string> SplitAtTabs(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find('\t', begin);
        if (end == std::string::npos)
            end = text.size();
        if (end > begin)
            pieces.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return pieces;
}

}  // namespace

CClientMetaResults::CClientMetaResults(const char* document) : CClientMetaResults() {
    if (document)
        ReadDocument(document);
}

void CClientMetaResults::ReadDocument(const char* document) {
    const CXMLDoc xml(document);
    const std::unique_ptr<CXMLNode> info = xml.Child("DomainQueryResponse/DomainInfo");
    if (!info) {
        REPORT_ASSERT("CClientMetaResults::CClientMetaResults", "No DomainQueryResponse/DomainInfo node");
        return;
    }
    if (!ReadExpiry(*info, expiry_))
        return;
    popularity_ = info->GetAttribute("popularity");
    if (const std::unique_ptr<CXMLNode> addressInfo = xml.Child("DomainQueryResponse/IPAddrInfo"))
        addressCountry_ = addressInfo->ChildText("country");

    const std::unique_ptr<CXMLNode> metaData = info->Child("DomainMetaData");
    if (!metaData) {
        REPORT_ASSERT("CClientMetaResults::CClientMetaResults", "No DomainMetaData");
        return;
    }
    baseDomain_ = metaData->GetAttribute("baseDomain");
    creationDate_ = metaData->GetAttributeInt("dateCreated");
    dynamicAddress_ = metaData->GetAttributeBool("isDynamicIP");
    userContent_ = metaData->GetAttributeBool("isUserContent");
    if (const std::unique_ptr<CXMLNode> location = metaData->Child("Location")) {
        registrantCountry_ = location->GetAttribute("country");
        registrantState_ = location->GetAttribute("state");
        registrantCity_ = location->GetAttribute("city");
    }
    sitePatterns_ = SplitAtTabs(TranslateRegEx(metaData->GetAttribute("domainSpecRegExs")));
}
