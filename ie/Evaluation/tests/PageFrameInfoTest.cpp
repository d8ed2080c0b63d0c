// The verdict record: whether a frame pulls a page down, and what each way
// of filling it changes.
#include "ie/Evaluation/PageFrameInfo.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/tests/SamplePayloads.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

CPageFrameInfo WithClassification(int classification) {
    CPageFrameInfo info;
    info.classification = classification;
    return info;
}

TEST(PageFrameInfo, OtherIsWorseExactlyAsTheTableSays) {
    const int codes[] = {0, 1, 2, 3, 4, 99};
    // Rows: page 0 (not allowed), page 0 (allowed), 1, 2, 3, 4, 99; columns: frame 0, 1, 2, 3, 4, 99.
    const char* const table[] = {
        "------", "-Y--Y-", "----Y-", "----Y-", "----Y-", "------", "------",
    };
    const int pages[] = {0, 0, 1, 2, 3, 4, 99};
    for (int row = 0; row < 7; ++row) {
        const bool allow = row != 0;
        for (int column = 0; column < 6; ++column) {
            const CPageFrameInfo page = WithClassification(pages[row]);
            const CPageFrameInfo frame = WithClassification(codes[column]);
            EXPECT_EQ(table[row][column] == 'Y', page.IsOtherWorse(&frame, allow))
                << "page " << pages[row] << " allow " << allow << " frame " << codes[column];
        }
    }
    EXPECT_FALSE(WithClassification(1).IsOtherWorse(nullptr, true));
}

TEST(PageFrameInfo, EachKindOfAnswerFillsOnlyItsFields) {
    rpc_samples::SiteVerdict verdict;  // bad.example, WARN, red
    const UIOBuffer urlPayload = rpc_samples::Payload(verdict);
    std::unique_ptr<CRPCMsg> urlResults =
        CRPCMsg::Decode(RPC_CLIENT_URL_RESULTS, 0, urlPayload.Data(), urlPayload.Size());
    rpc_samples::DomainFacts facts;  // example.com, two patterns
    const UIOBuffer metaPayload = rpc_samples::Payload(facts);
    std::unique_ptr<CRPCMsg> metaResults =
        CRPCMsg::Decode(RPC_CLIENT_META_RESULTS, 0, metaPayload.Data(), metaPayload.Size());
    ASSERT_TRUE(urlResults && metaResults);

    CPageFrameInfo info;
    EXPECT_EQ(CPageFrameInfo::CLASSIFICATION_NONE, info.classification);
    EXPECT_EQ(COLOR_YELLOW, info.color);
    info.Set(static_cast<const CClientMetaResults*>(metaResults.get()));
    EXPECT_EQ("example.com", info.baseDomain);
    EXPECT_EQ(facts.patterns, info.domainSpecRegExs);
    EXPECT_EQ(CPageFrameInfo::CLASSIFICATION_NONE, info.classification);

    info.Set(static_cast<const CClientURLResults*>(urlResults.get()));
    EXPECT_EQ("bad.example", info.domain);
    EXPECT_EQ(VERDICT_WARN, info.classification);
    EXPECT_EQ(COLOR_RED, info.color);
    EXPECT_EQ(verdict.description, info.text);
    EXPECT_EQ(VERDICT_INFO, info.facets[FACET_DOWNLOADS].code);
    EXPECT_EQ("facet", info.facets[FACET_PERSONALINFO].text);
    EXPECT_EQ("example.com", info.baseDomain);  // untouched by the site verdict

    CPageFrameInfo copy;
    copy.Set(&info);
    EXPECT_EQ(info.domainSpecRegExs, copy.domainSpecRegExs);
    EXPECT_EQ(info.facets[FACET_ROGUE].code, copy.facets[FACET_ROGUE].code);
    copy.Set(static_cast<const CPageFrameInfo*>(nullptr));
    copy.Set(static_cast<const CClientURLResults*>(nullptr));
    EXPECT_EQ(VERDICT_WARN, copy.classification);  // nulls change nothing

    copy.SetFailure();
    EXPECT_EQ(CPageFrameInfo::CLASSIFICATION_NONE, copy.classification);
    EXPECT_EQ(COLOR_DARKGREY, copy.color);
    EXPECT_STREQ("We're experiencing communication problems right now.", copy.text.c_str());
    copy.Reset();
    EXPECT_TRUE(copy.domain.empty() && copy.baseDomain.empty() && copy.domainSpecRegExs.empty());
    EXPECT_EQ(VERDICT_UNKNOWN, copy.facets[FACET_COMMERCE].code);
}

}  // namespace
