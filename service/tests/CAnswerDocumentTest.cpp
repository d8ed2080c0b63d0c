#include "service/CAnswerDocument.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"

#include <objbase.h>

#include <ctime>
#endif

namespace {

SiteRating SampleSite() {
    SiteRating site;
    site.name = "shop.example.net";
    site.verdict = RatedVerdict{VERDICT_INFO, COLOR_YELLOW, "Terms & \"conditions\" <apply>"};
    site.facets[FACET_DOWNLOADS] = RatedVerdict{VERDICT_WARN, COLOR_NONE, "Adware"};
    site.facets[FACET_ROGUE] = RatedVerdict{VERDICT_OK, COLOR_NONE, ""};
    site.baseDomain = "example.net";
    site.created = 1100908800;
    site.registrantCountry = "DE";
    site.registrantState = "Bavaria";
    site.registrantCity = "M\xFCnchen";
    site.addressCountry = "AT";
    site.popularity = "5120";
    site.dynamicAddress = true;
    site.patterns = {"^https?://(www\\.)?shop\\.example\\.net/", "x{2}"};
    return site;
}

TEST(AnswerDocument, EscapeMakesTextSafeForContentAndAttributes) {
    EXPECT_EQ("a&amp;b&lt;c&gt;&quot;d&apos;e", CAnswerDocument::Escape("a&b<c>\"d'e"));
    EXPECT_EQ("1&#9;2&#10;3&#13;", CAnswerDocument::Escape("1\t2\n3\r"));
    EXPECT_EQ("xy", CAnswerDocument::Escape(std::string("x\x01\x1F", 3) + std::string(1, '\0') + "y"));
    EXPECT_EQ("\xE9t\xE9", CAnswerDocument::Escape("\xE9t\xE9"));  // code-page text passes through
}

TEST(AnswerDocument, SiteDocumentCarriesVerdictFacetsAndFacts) {
    const SiteRating site = SampleSite();
    const std::string xml = CAnswerDocument::ForSite(&site, "www.shop.example.net", 1000);
    EXPECT_EQ(0u, xml.find("<DomainQueryResponse><DomainInfo name=\"shop.example.net\" expires=\"87400\""));
    EXPECT_NE(std::string::npos,
              xml.find("<Classification code=\"INFO\" color=\"yellow\"><description>Terms &amp; "
                       "&quot;conditions&quot; &lt;apply&gt;</description></Classification>"));
    // Only the facets the database rates; facet colours are not sent.
    EXPECT_NE(std::string::npos, xml.find("<FacetInfos><DownloadsInfo code=\"WARN\"><description>Adware"
                                          "</description></DownloadsInfo><RogueInfo code=\"OK\"/></FacetInfos>"));
    EXPECT_EQ(std::string::npos, xml.find("CommerceInfo"));
    // Patterns travel with brackets exchanged, separated by a tab reference.
    EXPECT_NE(std::string::npos,
              xml.find("domainSpecRegExs=\"^https?://{www\\.}?shop\\.example\\.net/&#9;x(2)\""));
    EXPECT_NE(std::string::npos, xml.find("dateCreated=\"1100908800\" isDynamicIP=\"true\" isUserContent=\"false\""));
    EXPECT_NE(std::string::npos, xml.find("<Location country=\"DE\" state=\"Bavaria\" city=\"M\xFCnchen\"/>"));
    EXPECT_NE(std::string::npos, xml.find("<IPAddrInfo><country>AT</country></IPAddrInfo></DomainQueryResponse>"));
}

TEST(AnswerDocument, UnknownSiteAndChecksumDocuments) {
    const std::string site = CAnswerDocument::ForSite(nullptr, "new\"site.example", 50);
    EXPECT_NE(std::string::npos, site.find("name=\"new&quot;site.example\" expires=\"86450\""));
    EXPECT_NE(std::string::npos, site.find("<Classification code=\"UNKNOWN\" color=\"grey\"/>"));
    EXPECT_NE(std::string::npos, site.find("baseDomain=\"\" dateCreated=\"0\""));
    EXPECT_EQ(std::string::npos, site.find("FacetInfos"));
    EXPECT_EQ(std::string::npos, site.find("IPAddrInfo"));

    const std::string download = CAnswerDocument::ForDownload(nullptr, 7);
    EXPECT_EQ("<DownloadQueryResponse><DownloadInfo title=\"\" expires=\"86407\"><Classification "
              "code=\"UNKNOWN\" color=\"grey\"><description>Unknown checksum</description></Classification>"
              "</DownloadInfo></DownloadQueryResponse>",
              download);
}

#ifdef _WIN32
// The documents read back through the add-on's own document constructors.
class AnswerDocumentParsed : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { ::CoUninitialize(); }
};

TEST_F(AnswerDocumentParsed, ResultsReadBackWhatTheDatabaseSaid) {
    const SiteRating site = SampleSite();
    const std::string xml = CAnswerDocument::ForSite(&site, "shop.example.net", std::time(nullptr));
    const CClientURLResults verdict(xml.c_str());
    EXPECT_EQ("shop.example.net", verdict.Name());
    EXPECT_EQ(VERDICT_INFO, verdict.Code());
    EXPECT_EQ(COLOR_YELLOW, verdict.Color());
    EXPECT_EQ("Terms & \"conditions\" <apply>", verdict.Description());
    EXPECT_EQ(VERDICT_WARN, verdict.FacetCode(FACET_DOWNLOADS));
    EXPECT_EQ("Adware", verdict.FacetDescription(FACET_DOWNLOADS));
    EXPECT_EQ(VERDICT_UNKNOWN, verdict.FacetCode(FACET_COMMERCE));
    EXPECT_EQ(DefaultFacetDescription(FACET_ROGUE, VERDICT_OK), verdict.FacetDescription(FACET_ROGUE));

    const CClientMetaResults facts(xml.c_str());
    EXPECT_EQ("example.net", facts.BaseDomain());
    EXPECT_EQ((std::vector<std::string>{"^https?://(www\\.)?shop\\.example\\.net/", "x{2}"}), facts.SitePatterns());
    EXPECT_EQ(1100908800, facts.CreationDate());
    EXPECT_EQ("M\xFCnchen", facts.RegistrantCity());
    EXPECT_EQ("AT", facts.AddressCountry());
    EXPECT_TRUE(facts.DynamicAddress());
    EXPECT_FALSE(facts.UserContent());

    const CClientMD5Results unknown(CAnswerDocument::ForDownload(nullptr, std::time(nullptr)).c_str());
    EXPECT_EQ(VERDICT_UNKNOWN, unknown.Code());
    EXPECT_EQ(COLOR_GREY, unknown.Color());
    EXPECT_EQ("Unknown checksum", unknown.Description());
}
#endif

}  // namespace
