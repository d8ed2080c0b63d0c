// What every page costs in message handling: marshalling a typical site
// verdict and domain facts (the service's side) and decoding them (the
// add-on's side, inside its window procedure).
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"

#include <benchmark/benchmark.h>

namespace {

// A typical site verdict as the service sends it: texts of a sentence or two.
UIOBuffer SiteVerdictPayload() {
    UIOBuffer payload;
    std::int32_t id = 17, version = 4, expiry = 1765000000, code = 4, color = 2;
    std::string name = "www.freebies.example";
    std::string description = "We recommend that you not use this site: its \"free\" programs install spyware.";
    MarshalInt(false, payload, id);
    MarshalInt(false, payload, version);
    MarshalInt(false, payload, expiry);
    MarshalString(false, payload, name);
    MarshalInt(false, payload, code);
    MarshalInt(false, payload, color);
    MarshalString(false, payload, description);
    for (std::int32_t facet : {2, 4, 4, 2}) {
        std::string text = "In our tests, we found downloads on this site that some people would consider "
                           "adware, spyware or other unwanted programs.";
        MarshalInt(false, payload, facet);
        MarshalString(false, payload, text);
    }
    return payload;
}

UIOBuffer DomainFactsPayload() {
    UIOBuffer payload;
    std::int32_t id = 17, version = 5, expiry = 1765000000, created = 1730246400;
    std::string base = "freebies.example", popularity = "260550", country = "PA", state = "Panama",
                city = "Panama City", addressCountry = "RU", address = "198.51.100.200",
                registered = "30-Oct-2024", expires = "30-Oct-2026";
    std::vector<std::string> patterns = {"^https?://([a-z0-9-]+\\.)*freebies\\.example/"};
    bool dynamic = true, userContent = false;
    MarshalInt(false, payload, id);
    MarshalInt(false, payload, version);
    MarshalInt(false, payload, expiry);
    MarshalString(false, payload, base);
    MarshalStringArray(false, payload, patterns);
    MarshalString(false, payload, popularity);
    MarshalInt(false, payload, created);
    MarshalString(false, payload, country);
    MarshalString(false, payload, state);
    MarshalString(false, payload, city);
    MarshalString(false, payload, addressCountry);
    MarshalBool(false, payload, dynamic);
    MarshalBool(false, payload, userContent);
    MarshalString(false, payload, address);
    MarshalString(false, payload, addressCountry);
    MarshalString(false, payload, registered);
    MarshalString(false, payload, expires);
    return payload;
}

void Decode(benchmark::State& state, RPCMessageType type, const UIOBuffer& payload) {
    for (auto _ : state) {
        std::unique_ptr<CRPCMsg> message = CRPCMsg::Decode(type, 0, payload.Data(), payload.Size());
        benchmark::DoNotOptimize(message.get());
    }
}

void Marshal(benchmark::State& state, RPCMessageType type, const UIOBuffer& payload) {
    std::unique_ptr<CRPCMsg> message = CRPCMsg::Decode(type, 0, payload.Data(), payload.Size());
    for (auto _ : state) {
        UIOBuffer out;
        message->MarshalPayload(17, out);
        benchmark::DoNotOptimize(out.Data());
    }
}

void BM_DecodeSiteVerdict(benchmark::State& state) {
    Decode(state, RPC_CLIENT_URL_RESULTS, SiteVerdictPayload());
}
void BM_MarshalSiteVerdict(benchmark::State& state) {
    Marshal(state, RPC_CLIENT_URL_RESULTS, SiteVerdictPayload());
}
void BM_DecodeDomainFacts(benchmark::State& state) {
    Decode(state, RPC_CLIENT_META_RESULTS, DomainFactsPayload());
}
void BM_MarshalDomainFacts(benchmark::State& state) {
    Marshal(state, RPC_CLIENT_META_RESULTS, DomainFactsPayload());
}

}  // namespace

BENCHMARK(BM_DecodeSiteVerdict);
BENCHMARK(BM_MarshalSiteVerdict);
BENCHMARK(BM_DecodeDomainFacts);
BENCHMARK(BM_MarshalDomainFacts);
