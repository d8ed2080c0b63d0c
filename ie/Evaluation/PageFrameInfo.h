// The verdict record of one document, the top-level page or one of its
// frames: what the rating service said about its site. Documents fill it
// from the service's answers, compare a frame's record with the page's to
// see whether the frame pulls the page down, and hand copies to the decision
// matrix inside EVAL_VERDICT.
#pragma once

#include "utils/iRPC/Verdict.h"

#include <cstdint>
#include <string>
#include <vector>

class CClientMetaResults;
class CClientURLResults;

class CPageFrameInfo {
public:
    // No verdict yet: only this record uses it, the service never sends it.
    static constexpr std::int32_t CLASSIFICATION_NONE = VERDICT_PENDING;

    struct Facet {
        std::int32_t code = VERDICT_UNKNOWN;
        std::string text;
    };

    CPageFrameInfo() { Reset(); }

    // Every field back to "no verdict".
    void Reset();
    // The site verdict: rated name, classification, overall pair, facets.
    void Set(const CClientURLResults* results);
    // The domain facts: base domain and site patterns only.
    void Set(const CClientMetaResults* results);
    // A whole copy of another record.
    void Set(const CPageFrameInfo* other);
    // The verdict shown when the service could not be reached in time.
    void SetFailure();

    // Whether `other` (a frame's record) is worse than this one (the
    // page's). An unknown or informational frame never pulls a rated page
    // down; an OK frame pulls down a CERTIFIED page only when allowed.
    bool IsOtherWorse(const CPageFrameInfo* other, bool allowFromCertified) const;

    std::string baseDomain;
    std::string domain;
    std::vector<std::string> domainSpecRegExs;
    std::int32_t classification = CLASSIFICATION_NONE;
    std::int32_t color = COLOR_YELLOW;
    std::string text;
    Facet facets[kFacetCount];
};

// The text of the failure verdict.
extern const char kCommunicationProblemsText[];
