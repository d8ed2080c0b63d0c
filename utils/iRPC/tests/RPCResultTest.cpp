// Result messages on the wire: layouts, defaults, traces and the verdict texts.
#include "utils/iRPC/CClientConnectionFail.h"
#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"
#include "utils/iRPC/CServerWhitelistList.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/TimeText.h"
#include "utils/iRPC/Verdict.h"

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

// A site verdict payload written field by field, as the service writes it.
UIOBuffer SiteVerdictPayload(std::int32_t version, std::int32_t rogueCode) {
    UIOBuffer payload;
    std::int32_t requestId = 77, expiry = 0, code = VERDICT_WARN, color = COLOR_RED;
    std::string name = "bad.example", description = "Stay away: 100% bad";
    MarshalInt(false, payload, requestId);
    MarshalInt(false, payload, version);
    MarshalInt(false, payload, expiry);
    MarshalString(false, payload, name);
    MarshalInt(false, payload, code);
    MarshalInt(false, payload, color);
    MarshalString(false, payload, description);
    std::int32_t facetCodes[kFacetCount] = {VERDICT_OK, VERDICT_INFO, VERDICT_WARN, rogueCode};
    for (std::int32_t& facetCode : facetCodes) {
        std::string facetText = "facet";
        MarshalInt(false, payload, facetCode);
        MarshalString(false, payload, facetText);
    }
    return payload;
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
        Decode<CClientURLResults>(RPC_CLIENT_URL_RESULTS, SiteVerdictPayload(4, VERDICT_NONE));
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
    EXPECT_EQ(Bytes(SiteVerdictPayload(4, VERDICT_NONE)), Bytes(again));
}

TEST(RPCResults, WrongVersionGivesNoObject) {
    EXPECT_EQ(nullptr, Decode<CClientURLResults>(RPC_CLIENT_URL_RESULTS, SiteVerdictPayload(3, 0)));
}

TEST(RPCResults, DomainFactsTravelWithTheAddressCountryTwice) {
    UIOBuffer payload;
    std::int32_t requestId = 5, version = 5, expiry = 0, created = 1141516800;
    std::string base = "example.com", popularity = "42", country = "US", state = "CA", city = "Palo Alto";
    std::string firstCopy = "DE", address = "192.0.2.1", secondCopy = "FR", regCreated = "2006-03-05",
                regExpires = "2030-03-05";
    std::vector<std::string> patterns = {"^http://(www\\.)?example\\.com/", "^https://example\\.com/"};
    bool dynamic = true, userContent = false;
    MarshalInt(false, payload, requestId);
    MarshalInt(false, payload, version);
    MarshalInt(false, payload, expiry);
    MarshalString(false, payload, base);
    MarshalStringArray(false, payload, patterns);
    MarshalString(false, payload, popularity);
    MarshalInt(false, payload, created);
    MarshalString(false, payload, country);
    MarshalString(false, payload, state);
    MarshalString(false, payload, city);
    MarshalString(false, payload, firstCopy);
    MarshalBool(false, payload, dynamic);
    MarshalBool(false, payload, userContent);
    MarshalString(false, payload, address);
    MarshalString(false, payload, secondCopy);
    MarshalString(false, payload, regCreated);
    MarshalString(false, payload, regExpires);

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
    UIOBuffer payload;
    std::int32_t requestId = 9, version = 2, expiry = 0, code = VERDICT_INFO, color = COLOR_YELLOW;
    std::string title = "setup.exe", description = "Mixed";
    MarshalInt(false, payload, requestId);
    MarshalInt(false, payload, version);
    MarshalInt(false, payload, expiry);
    MarshalString(false, payload, title);
    MarshalInt(false, payload, code);
    MarshalInt(false, payload, color);
    MarshalString(false, payload, description);
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
