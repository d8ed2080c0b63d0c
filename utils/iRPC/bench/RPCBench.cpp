// What every page costs in message handling: marshalling a typical site
// verdict and domain facts (the service's side) and decoding them (the
// add-on's side, inside its window procedure).
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/tests/SamplePayloads.h"

#include <benchmark/benchmark.h>

namespace {

// A typical site verdict as the service sends it: texts of a sentence or two.
UIOBuffer SiteVerdictPayload() {
    rpc_samples::SiteVerdict fields;
    fields.name = "www.freebies.example";
    fields.description = "We recommend that you not use this site: its \"free\" programs install spyware.";
    fields.facetText = "In our tests, we found downloads on this site that some people would consider "
                       "adware, spyware or other unwanted programs.";
    return rpc_samples::Payload(fields);
}

UIOBuffer DomainFactsPayload() {
    rpc_samples::DomainFacts fields;
    fields.baseDomain = "freebies.example";
    fields.patterns = {"^https?://([a-z0-9-]+\\.)*freebies\\.example/"};
    fields.addressCountry = fields.addressCountryAgain = "RU";
    return rpc_samples::Payload(fields);
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
