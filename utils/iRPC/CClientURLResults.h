// The rating service's verdict on a site: overall code, colour and text,
// and a code and text for each of the four facets.
#pragma once

#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/Verdict.h"

#include <string>

class CClientURLResults : public CRPCMsg {
public:
    static constexpr std::int32_t kVersion = 4;

    // Empty, as decoding needs it: UNKNOWN, yellow, no texts.
    CClientURLResults();
    // Built from the service's answer document "DomainQueryResponse/DomainInfo"
    // (Windows only: it reads the document with the platform XML parser).
    explicit CClientURLResults(const char* document);

    std::int32_t GetVersion() const override { return kVersion; }
    bool Marshal(bool reading, UIOBuffer& buffer) override;
    // Sends, then counts the verdict for the improvement program.
    bool Send(RPCWindow target, RPCWindow replyWindow, std::int32_t requestId) override;
    std::string ToString() const override;

    std::int32_t Expiry() const { return expiry_; }
    const std::string& Name() const { return name_; }
    std::int32_t Code() const { return code_; }
    std::int32_t Color() const { return color_; }
    const std::string& Description() const { return description_; }
    std::int32_t FacetCode(VerdictFacet facet) const { return facetCodes_[facet]; }
    const std::string& FacetDescription(VerdictFacet facet) const { return facetDescriptions_[facet]; }

private:
    void ReadDocument(const char* document);
    void ApplyDefaults();

    std::int32_t expiry_ = 0;
    std::string name_;
    std::int32_t code_ = VERDICT_UNKNOWN;
    std::int32_t color_ = COLOR_YELLOW;
    std::string description_;
    std::int32_t facetCodes_[kFacetCount] = {VERDICT_UNKNOWN, VERDICT_UNKNOWN, VERDICT_UNKNOWN,
                                             VERDICT_UNKNOWN};
    std::string facetDescriptions_[kFacetCount];
};
