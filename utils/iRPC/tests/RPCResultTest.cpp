// Result messages on the wire: layouts, defaults, traces and the verdict texts.
#include "utils/iRPC/CClientConnectionFail.h"
#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"
#include "utils/iRPC/CServerWhitelistList.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/TimeText.h"
#include "utils/iRPC/Verdict.h"
#include "utils/iRPC/tests/SamplePayloads.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

std::string Bytes(const UIOBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

template <typename Message>
std::unique_ptr<Message> Decode(RPCMessageType type, const UIOBuffer& payload) {
    std::unique_ptr<CRPCMsg> message = CRPCMsg::Decode(type, 0x1234, payload.Data(), payload.Size());
    auto* typed = dynamic_cast<Message*>(message.get());
    if (!typed)
        return nullptr;
    message.release();
    return std::unique_ptr<Message>(typed);
}

UIOBuffer SiteVerdictPayload(std::int32_t version) {
    rpc_samples::SiteVerdict fields;
    fields.version = version;
    return rpc_samples::Payload(fields);
}

TEST(RPCResults, EmptyResultsHoldTheirDefaults) {
    const CClientURLResults site;
    EXPECT_EQ(RPC_CLIENT_URL_RESULTS, site.Type());
    EXPECT_EQ(VERDICT_UNKNOWN, site.Code());
    EXPECT_EQ(COLOR_YELLOW, site.Color());
    for (int facet = 0; facet < kFacetCount; ++facet) {
        EXPECT_EQ(VERDICT_UNKNOWN, site.FacetCode(static_cast<VerdictFacet>(facet)));
        EXPECT_EQ("", site.FacetDescription(static_cast<VerdictFacet>(facet)));
    }
    const CClientMD5Results download;
    EXPECT_EQ(RPC_CLIENT_MD5_RESULTS, download.Type());
    EXPECT_EQ(VERDICT_NONE, download.Code());
    EXPECT_EQ(COLOR_NONE, download.Color());
}

TEST(RPCResults, SiteVerdictDecodesFieldByFieldAndTracesItsFacets) {
    const std::unique_ptr<CClientURLResults> site =
        Decode<CClientURLResults>(RPC_CLIENT_URL_RESULTS, SiteVerdictPayload(4));
    ASSERT_NE(nullptr, site);
    EXPECT_EQ(77, site->RequestId());
    EXPECT_EQ("bad.example", site->Name());
    EXPECT_EQ(VERDICT_WARN, site->Code());
    EXPECT_EQ(COLOR_RED, site->Color());
    EXPECT_EQ("Stay away: 100% bad", site->Description());
    EXPECT_EQ(VERDICT_INFO, site->FacetCode(FACET_DOWNLOADS));
    EXPECT_EQ(VERDICT_NONE, site->FacetCode(FACET_ROGUE));
    EXPECT_EQ("CClientURLResults [4] " + FormatLocalTime(0) +
                  " bad.example WARN red Stay away: 100% bad Commerce: OK Downloads: INFO PersonalInfo: WARN",
              site->ToString());

    // Marshalled again, it is the same payload.
    UIOBuffer again;
    ASSERT_TRUE(site->MarshalPayload(77, again));
    EXPECT_EQ(Bytes(SiteVerdictPayload(4)), Bytes(again));
}

TEST(RPCResults, WrongVersionGivesNoObject) {
    EXPECT_EQ(nullptr, Decode<CClientURLResults>(RPC_CLIENT_URL_RESULTS, SiteVerdictPayload(3)));
}

TEST(RPCResults, DomainFactsTravelWithTheAddressCountryTwice) {
    const rpc_samples::DomainFacts sample;
    const std::vector<std::string>& patterns = sample.patterns;
    const std::int32_t created = sample.created;
    const UIOBuffer payload = rpc_samples::Payload(sample);

    const std::unique_ptr<CClientMetaResults> facts = Decode<CClientMetaResults>(RPC_CLIENT_META_RESULTS, payload);
    ASSERT_NE(nullptr, facts);
    EXPECT_EQ("example.com", facts->BaseDomain());
    EXPECT_EQ(patterns, facts->SitePatterns());
    EXPECT_EQ("42", facts->Popularity());
    EXPECT_EQ(created, facts->CreationDate());
    EXPECT_EQ("Palo Alto", facts->RegistrantCity());
    EXPECT_EQ("FR", facts->AddressCountry());  // the second copy overwrites the first
    EXPECT_TRUE(facts->DynamicAddress());
    EXPECT_FALSE(facts->UserContent());
    EXPECT_EQ("192.0.2.1", facts->Address());
    EXPECT_EQ("2030-03-05", facts->RegistrationExpires());
    EXPECT_EQ("CClientMetaResults [5] " + FormatLocalTime(0) + " example.com 2 filters 42 " +
                  FormatLocalTime(created) +
                  " US CA Palo Alto Dynamic IP Not user content 192.0.2.1 2006-03-05 2030-03-05",
              facts->ToString());

    // Written back, both copies carry the one value.
    UIOBuffer again;
    ASSERT_TRUE(facts->MarshalPayload(5, again));
    const std::unique_ptr<CClientMetaResults> twice = Decode<CClientMetaResults>(RPC_CLIENT_META_RESULTS, again);
    ASSERT_NE(nullptr, twice);
    EXPECT_EQ("FR", twice->AddressCountry());
    EXPECT_EQ(patterns, twice->SitePatterns());
    EXPECT_EQ(payload.Size(), again.Size());
}

TEST(RPCResults, ConnectionFailIsRequestIdAndVersionOnly) {
    CClientConnectionFail failure;
    UIOBuffer payload;
    ASSERT_TRUE(failure.MarshalPayload(0x01020304, payload));
    EXPECT_EQ(std::string("\x04\x03\x02\x01\x01\0\0\0", 8), Bytes(payload));
    EXPECT_EQ("CClientConnectionFail", failure.ToString());
    EXPECT_NE(nullptr, Decode<CClientConnectionFail>(RPC_CLIENT_CONNECTION_FAIL, payload));
}

TEST(RPCResults, DownloadVerdictAndDoNotWarnListRoundTrip) {
    const UIOBuffer payload = rpc_samples::Payload(rpc_samples::DownloadVerdict());
    const std::unique_ptr<CClientMD5Results> download = Decode<CClientMD5Results>(RPC_CLIENT_MD5_RESULTS, payload);
    ASSERT_NE(nullptr, download);
    EXPECT_EQ(VERDICT_INFO, download->Code());
    EXPECT_EQ("CClientMD5Results [2] " + FormatLocalTime(0) + " setup.exe INFO", download->ToString());

    CServerWhitelistList list("a.example;100%.example");
    UIOBuffer listPayload;
    ASSERT_TRUE(list.MarshalPayload(0, listPayload));
    const std::unique_ptr<CServerWhitelistList> back =
        Decode<CServerWhitelistList>(RPC_CLIENT_WHITELIST_LIST, listPayload);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ("a.example;100%.example", back->List());
    EXPECT_EQ("CServerWhitelistList [1] a.example;100%.example", back->ToString());
}

TEST(Verdict, DefaultTextsKeepTheirExactBytes) {
    const std::string commerceWarn = DefaultFacetDescription(FACET_COMMERCE, VERDICT_WARN);
    EXPECT_EQ("We recommend you not use this site,\xA0" "based on our analysis and consumer complaints.",
              commerceWarn);
    EXPECT_EQ("Our analysis indicates this site may be trying to misrepresent itself .",
              std::string(DefaultFacetDescription(FACET_ROGUE, VERDICT_WARN)));
    EXPECT_EQ("We recommend that you not use this site.", std::string(DefaultVerdictDescription(VERDICT_WARN)));
    EXPECT_STREQ(DefaultFacetDescription(FACET_DOWNLOADS, VERDICT_CERTIFIED),
                 DefaultFacetDescription(FACET_DOWNLOADS, VERDICT_OK));
    EXPECT_STREQ("", DefaultVerdictDescription(VERDICT_NONE));
    EXPECT_STREQ("", DefaultVerdictDescription(5));
    EXPECT_STREQ("", DefaultFacetDescription(FACET_ROGUE, VERDICT_PENDING));
}

}  // namespace
