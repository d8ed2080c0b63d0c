// Building a download verdict from the service's answer document (Windows).
#include "utils/iRPC/CClientMD5Results.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/XML/CXMLDoc.h"
#include "utils/iRPC/ResultDocument.h"

CClientMD5Results::CClientMD5Results(const char* document) : CClientMD5Results() {
    if (document)
        ReadDocument(document);
}

void CClientMD5Results::ReadDocument(const char* document) {
    const CXMLDoc xml(document);
    const std::unique_ptr<CXMLNode> info = xml.Child("DownloadQueryResponse/DownloadInfo");
    if (!info) {
        REPORT_ASSERT("CClientMD5Results::CClientMD5Results", "No DownloadQueryResponse/DownloadInfo node");
        return;
    }
    if (!ReadExpiry(*info, expiry_))
        return;
    title_ = info->GetAttribute("title");
    const std::unique_ptr<CXMLNode> classification = info->Child("Classification");
    ReadVerdictElement(classification.get(), code_, &color_, description_);
}
