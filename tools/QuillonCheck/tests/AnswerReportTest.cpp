#include "tools/QuillonCheck/AnswerReport.h"

#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/tests/SamplePayloads.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

template <typename Message>
std::unique_ptr<Message> Decode(RPCMessageType type, const UIOBuffer& payload) {
    std::unique_ptr<CRPCMsg> message = CRPCMsg::Decode(type, 0, payload.Data(), payload.Size());
    return std::unique_ptr<Message>(dynamic_cast<Message*>(message.release()));
}

std::unique_ptr<CClientURLResults> Verdict() {
    rpc_samples::SiteVerdict fields;
    fields.description = "Do not use.";
    fields.facetCodes[FACET_PERSONALINFO] = VERDICT_UNKNOWN;
    fields.facetText = "facet text";
    return Decode<CClientURLResults>(RPC_CLIENT_URL_RESULTS, rpc_samples::Payload(fields));
}

bool HasLine(const std::string& report, const std::string& line) {
    return report.find("\n" + line + "\n") != std::string::npos;
}

TEST(AnswerReport, SiteVerdictIsAlignedAndInWords) {
    const std::unique_ptr<CClientURLResults> verdict = Verdict();
    ASSERT_NE(nullptr, verdict);
    const std::string report = SiteReport("http://www.bad.example/", verdict.get(), nullptr, false);
    EXPECT_EQ(0u, report.find("http://www.bad.example/\n"));
    EXPECT_TRUE(HasLine(report, "  Site          bad.example")) << report;
    EXPECT_TRUE(HasLine(report, "  Verdict       WARN (4), red")) << report;
    EXPECT_TRUE(HasLine(report, "  Summary       Do not use.")) << report;
    EXPECT_TRUE(HasLine(report, "  Commerce      OK (1)        facet text")) << report;
    EXPECT_TRUE(HasLine(report, "  PersonalInfo  UNKNOWN (3)   facet text")) << report;
    EXPECT_TRUE(HasLine(report, "  Rogue         none (-1)     facet text")) << report;
    EXPECT_TRUE(HasLine(report, "  Domain        no answer in time")) << report;
}

TEST(AnswerReport, MissingAnswersAndConnectionFailureSaySo) {
    EXPECT_TRUE(HasLine(SiteReport("http://x.example/", nullptr, nullptr, false),
                        "  Verdict       no answer in time"));
    EXPECT_TRUE(HasLine(SiteReport("http://x.example/", nullptr, nullptr, true),
                        "  Answer        the rating service could not reach its servers"));
}

TEST(AnswerReport, DownloadShowsChecksumAndVerdict) {
    rpc_samples::DownloadVerdict fields;
    fields.title = "";
    fields.code = VERDICT_UNKNOWN;
    fields.color = COLOR_NONE;
    fields.description = "Unknown checksum";
    const UIOBuffer payload = rpc_samples::Payload(fields);
    const std::unique_ptr<CClientMD5Results> verdict = Decode<CClientMD5Results>(RPC_CLIENT_MD5_RESULTS, payload);
    ASSERT_NE(nullptr, verdict);
    const std::string report = DownloadReport("C:\\setup.exe", "d41d8cd98f00b204e9800998ecf8427e", verdict.get());
    EXPECT_TRUE(HasLine(report, "  MD5           d41d8cd98f00b204e9800998ecf8427e")) << report;
    EXPECT_TRUE(HasLine(report, "  Verdict       UNKNOWN (3)")) << report;
    EXPECT_TRUE(HasLine(report, "  Summary       Unknown checksum")) << report;
    EXPECT_TRUE(HasLine(DownloadReport("C:\\gone.exe", "", nullptr), "  MD5           file could not be read"));
}

}  // namespace
