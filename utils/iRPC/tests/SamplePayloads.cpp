#include "utils/iRPC/tests/SamplePayloads.h"

#include "utils/iRPC/RPCMarshal.h"

namespace rpc_samples {

UIOBuffer Payload(SiteVerdict fields) {
    UIOBuffer payload;
    MarshalInt(false, payload, fields.requestId);
    MarshalInt(false, payload, fields.version);
    MarshalInt(false, payload, fields.expiry);
    MarshalString(false, payload, fields.name);
    MarshalInt(false, payload, fields.code);
    MarshalInt(false, payload, fields.color);
    MarshalString(false, payload, fields.description);
    for (std::int32_t& facetCode : fields.facetCodes) {
        std::string text = fields.facetText;
        MarshalInt(false, payload, facetCode);
        MarshalString(false, payload, text);
    }
    return payload;
}

UIOBuffer Payload(DomainFacts fields) {
    UIOBuffer payload;
    MarshalInt(false, payload, fields.requestId);
    MarshalInt(false, payload, fields.version);
    MarshalInt(false, payload, fields.expiry);
    MarshalString(false, payload, fields.baseDomain);
    MarshalStringArray(false, payload, fields.patterns);
    MarshalString(false, payload, fields.popularity);
    MarshalInt(false, payload, fields.created);
    MarshalString(false, payload, fields.country);
    MarshalString(false, payload, fields.state);
    MarshalString(false, payload, fields.city);
    MarshalString(false, payload, fields.addressCountry);
    MarshalBool(false, payload, fields.dynamicAddress);
    MarshalBool(false, payload, fields.userContent);
    MarshalString(false, payload, fields.address);
    MarshalString(false, payload, fields.addressCountryAgain);
    MarshalString(false, payload, fields.registrationCreated);
    MarshalString(false, payload, fields.registrationExpires);
    return payload;
}

UIOBuffer Payload(DownloadVerdict fields) {
    UIOBuffer payload;
    MarshalInt(false, payload, fields.requestId);
    MarshalInt(false, payload, fields.version);
    MarshalInt(false, payload, fields.expiry);
    MarshalString(false, payload, fields.title);
    MarshalInt(false, payload, fields.code);
    MarshalInt(false, payload, fields.color);
    MarshalString(false, payload, fields.description);
    return payload;
}

}  // namespace rpc_samples
