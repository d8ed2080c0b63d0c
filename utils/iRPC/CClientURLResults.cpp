#include "utils/iRPC/CClientURLResults.h"

#include "utils/iRPC/RPCFormat.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/StringTable.h"
#include "utils/iRPC/TimeText.h"
#include "utils/iRPC/VerdictUsage.h"

CClientURLResults::CClientURLResults() : CRPCMsg(RPC_CLIENT_URL_RESULTS, kVersion) {}

bool CClientURLResults::Marshal(bool reading, UIOBuffer& buffer) {
    if (!MarshalVersion(reading, buffer))
        return false;
    MarshalInt(reading, buffer, expiry_);
    MarshalString(reading, buffer, name_);
    MarshalInt(reading, buffer, code_);
    MarshalInt(reading, buffer, color_);
    MarshalString(reading, buffer, description_);
    for (int facet = 0; facet < kFacetCount; ++facet) {
        MarshalInt(reading, buffer, facetCodes_[facet]);
        MarshalString(reading, buffer, facetDescriptions_[facet]);
    }
    return true;
}

bool CClientURLResults::Send(RPCWindow target, RPCWindow replyWindow, std::int32_t requestId) {
    const bool sent = CRPCMsg::Send(target, replyWindow, requestId);
    CountVerdictPassedOn(code_);
    return sent;
}

std::string CClientURLResults::ToString() const {
    std::string text = FormatText("CClientURLResults [%d] %s %s %s %s %s", Version(),
                                  FormatLocalTime(expiry_).c_str(), name_.c_str(),
                                  IndexToString(code_, kVerdictCodeNames),
                                  IndexToString(color_, kVerdictColorNames), description_.c_str());
    for (int facet = 0; facet < kFacetCount; ++facet) {
        if (facetCodes_[facet] != VERDICT_NONE) {
            text += FormatText(" %s: %s", kFacetTraceNames[facet],
                               IndexToString(facetCodes_[facet], kVerdictCodeNames));
        }
    }
    return text;
}

void CClientURLResults::ApplyDefaults() {
    // A certified site is certified in every respect.
    if (code_ == VERDICT_CERTIFIED) {
        for (std::int32_t& facetCode : facetCodes_)
            facetCode = VERDICT_CERTIFIED;
    }
    if (description_.empty())
        description_ = DefaultVerdictDescription(code_);
    for (int facet = 0; facet < kFacetCount; ++facet) {
        if (facetDescriptions_[facet].empty()) {
            facetDescriptions_[facet] =
                DefaultFacetDescription(static_cast<VerdictFacet>(facet), facetCodes_[facet]);
        }
    }
}
