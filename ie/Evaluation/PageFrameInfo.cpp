#include "ie/Evaluation/PageFrameInfo.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"

const char kCommunicationProblemsText[] = "We're experiencing communication problems right now.";

void CPageFrameInfo::Reset() {
    baseDomain.clear();
    domain.clear();
    domainSpecRegExs.clear();
    classification = CLASSIFICATION_NONE;
    color = COLOR_YELLOW;
    text.clear();
    for (Facet& facet : facets)
        facet = Facet();
}

void CPageFrameInfo::Set(const CClientURLResults* results) {
    if (!results) {
        REPORT_ASSERT("CPageFrameInfo::Set", "NULL CClientURLResults pointer");
        return;
    }
    domain = results->Name();
    classification = results->Code();
    color = results->Color();
    text = results->Description();
    for (int i = 0; i < kFacetCount; ++i) {
        facets[i].code = results->FacetCode(static_cast<VerdictFacet>(i));
        facets[i].text = results->FacetDescription(static_cast<VerdictFacet>(i));
    }
}

void CPageFrameInfo::Set(const CClientMetaResults* results) {
    if (!results) {
        REPORT_ASSERT("CPageFrameInfo::Set", "NULL CClientMetaResults pointer");
        return;
    }
    baseDomain = results->BaseDomain();
    domainSpecRegExs = results->SitePatterns();
}

void CPageFrameInfo::Set(const CPageFrameInfo* other) {
    if (!other) {
        REPORT_ASSERT("CPageFrameInfo::Set", "NULL pointer");
        return;
    }
    if (other != this)
        *this = *other;
}

void CPageFrameInfo::SetFailure() {
    classification = CLASSIFICATION_NONE;
    color = COLOR_DARKGREY;
    text = kCommunicationProblemsText;
}

bool CPageFrameInfo::IsOtherWorse(const CPageFrameInfo* other, bool allowFromCertified) const {
    if (!other) {
        REPORT_ASSERT("CPageFrameInfo::IsOtherWorse", "NULL pointer");
        return false;
    }
    const std::int32_t page = classification;
    const std::int32_t frame = other->classification;
    if (frame == CLASSIFICATION_NONE)
        return false;
    if (page == VERDICT_CERTIFIED && !allowFromCertified)
        return false;
    const bool pageRated = page == VERDICT_CERTIFIED || page == VERDICT_OK || page == VERDICT_INFO;
    if (pageRated && (frame == VERDICT_INFO || frame == VERDICT_UNKNOWN))
        return false;
    return page < frame;
}
