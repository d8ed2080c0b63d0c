// Results built from the rating service's answer documents, read with the
// real XML parser; usage counters in the real registry.
#include "tests/support/DiagnosticCapture.h"
#include "utils/Options/Options.h"
#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <ctime>

namespace {

std::string SiteDocument(long long expires, const std::string& name, const std::string& classification,
                         const std::string& facets = "") {
    return "<DomainQueryResponse><DomainInfo name=\"" + name + "\" expires=\"" + std::to_string(expires) +
           "\" popularity=\"1234\">" + classification + facets + "</DomainInfo></DomainQueryResponse>";
}

long long InAnHour() {
    return static_cast<long long>(std::time(nullptr)) + 3600;
}

class ResultDocuments : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon");
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon");
    }
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon");
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon");
        ::CoUninitialize();
    }
    testing_support::DiagnosticCapture tool_;
};

TEST_F(ResultDocuments, ExpiryIsNeverMoreThanAnHourAhead) {
    const auto before = static_cast<std::int32_t>(std::time(nullptr));
    const CClientURLResults site(
        SiteDocument(before + 7200, "a.example", "<Classification code=\"OK\" color=\"green\"/>").c_str());
    const auto after = static_cast<std::int32_t>(std::time(nullptr));
    EXPECT_GE(site.Expiry(), before + 3600);
    EXPECT_LE(site.Expiry(), after + 3600);

    const CClientURLResults sooner(
        SiteDocument(before + 60, "a.example", "<Classification code=\"OK\" color=\"green\"/>").c_str());
    EXPECT_EQ(before + 60, sooner.Expiry());
}

TEST_F(ResultDocuments, ExpiredDocumentIsCountedAndKeepsTheDefaults) {
    const CClientURLResults site(
        SiteDocument(std::time(nullptr) - 10, "old.example",
                     "<Classification code=\"WARN\" color=\"red\"><description>x</description></Classification>")
            .c_str());
    EXPECT_EQ("", site.Name());
    EXPECT_EQ(VERDICT_UNKNOWN, site.Code());
    EXPECT_EQ(COLOR_YELLOW, site.Color());
    EXPECT_EQ("", site.Description());
    EXPECT_EQ(1, GetOptionInt(OptionScope::PerUser, "PIP\\DSSExp", 0));
    EXPECT_TRUE(tool_.Lines().empty());  // not an error
}

TEST_F(ResultDocuments, UnknownSitesAreGreyAndGetTheDefaultTexts) {
    const CClientURLResults site(
        SiteDocument(InAnHour(), "new.example", "<Classification code=\"UNKNOWN\" color=\"yellow\"/>").c_str());
    EXPECT_EQ("new.example", site.Name());
    EXPECT_EQ(VERDICT_UNKNOWN, site.Code());
    EXPECT_EQ(COLOR_GREY, site.Color());
    EXPECT_EQ(DefaultVerdictDescription(VERDICT_UNKNOWN), site.Description());
    EXPECT_EQ(DefaultFacetDescription(FACET_ROGUE, VERDICT_UNKNOWN), site.FacetDescription(FACET_ROGUE));
}

TEST_F(ResultDocuments, CertifiedSitesAreCertifiedInEveryFacet) {
    const CClientURLResults site(SiteDocument(InAnHour(), "good.example",
                                              "<Classification code=\"CERTIFIED\" color=\"green\"/>",
                                              "<FacetInfos><CommerceInfo code=\"WARN\" color=\"red\"/>"
                                              "<RogueInfo code=\"WARN\"/></FacetInfos>")
                                     .c_str());
    for (int facet = 0; facet < kFacetCount; ++facet) {
        const auto which = static_cast<VerdictFacet>(facet);
        EXPECT_EQ(VERDICT_CERTIFIED, site.FacetCode(which)) << facet;
        EXPECT_EQ(DefaultFacetDescription(which, VERDICT_CERTIFIED), site.FacetDescription(which));
    }
}

TEST_F(ResultDocuments, FacetsAndTextsComeFromTheDocument) {
    const CClientURLResults site(
        SiteDocument(InAnHour(), "mixed.example",
                     "<Classification code=\"WARN\" color=\"red\"><description>Own text</description></Classification>",
                     "<FacetInfos><DownloadsInfo code=\"INFO\" color=\"yellow\"><description>Some adware"
                     "</description></DownloadsInfo><PersonalInformationInfo code=\"OK\"/></FacetInfos>")
            .c_str());
    EXPECT_EQ(VERDICT_WARN, site.Code());
    EXPECT_EQ(COLOR_RED, site.Color());
    EXPECT_EQ("Own text", site.Description());
    EXPECT_EQ(VERDICT_INFO, site.FacetCode(FACET_DOWNLOADS));
    EXPECT_EQ("Some adware", site.FacetDescription(FACET_DOWNLOADS));
    EXPECT_EQ(VERDICT_OK, site.FacetCode(FACET_PERSONALINFO));
    EXPECT_EQ(DefaultFacetDescription(FACET_PERSONALINFO, VERDICT_OK), site.FacetDescription(FACET_PERSONALINFO));
    EXPECT_EQ(VERDICT_UNKNOWN, site.FacetCode(FACET_COMMERCE));  // absent: default
}

TEST_F(ResultDocuments, UnknownCodeNameAndEmptyColour) {
    const CClientURLResults site(
        SiteDocument(InAnHour(), "odd.example", "<Classification code=\"FOO\" color=\"\"/>").c_str());
    EXPECT_EQ(VERDICT_NONE, site.Code());
    EXPECT_EQ(COLOR_NONE, site.Color());
    EXPECT_EQ("", site.Description());
    EXPECT_TRUE(tool_.Reported("StringToIndex", "FOO"));
}

TEST_F(ResultDocuments, BuiltInSitesAreOkAndGreenWhateverTheDocumentSays) {
    const CClientURLResults vouched(
        SiteDocument(InAnHour(), "WWW.Vouched-Bank.example", "<Classification code=\"WARN\" color=\"red\"/>").c_str());
    EXPECT_EQ(VERDICT_OK, vouched.Code());
    EXPECT_EQ(COLOR_GREEN, vouched.Color());
    EXPECT_EQ(DefaultVerdictDescription(VERDICT_OK), vouched.Description());

    // Only whole names count: a name inside a listed one, or an empty one
    // (which occurs in every text), is not vouched for.
    for (const char* name : {"vouched-bank.example", "ank.example", "unvouched.example", ""}) {
        const CClientURLResults other(
            SiteDocument(InAnHour(), name, "<Classification code=\"WARN\" color=\"red\"/>").c_str());
        EXPECT_EQ(VERDICT_WARN, other.Code()) << name;
    }
}

TEST_F(ResultDocuments, MissingNodesAreReported) {
    const CClientURLResults noInfo("<DomainQueryResponse/>");
    EXPECT_TRUE(tool_.Reported("CClientURLResults::CClientURLResults", "No DomainQueryResponse/DomainInfo node"));
    const CClientURLResults noClassification(SiteDocument(InAnHour(), "n.example", "").c_str());
    EXPECT_TRUE(tool_.Reported("CClientURLResults::CClientURLResults", "No Classification node"));
    EXPECT_EQ("n.example", noClassification.Name());
    EXPECT_EQ("", noClassification.Description());
    const CClientMD5Results noDownload("<DownloadQueryResponse/>");
    EXPECT_TRUE(tool_.Reported("CClientMD5Results::CClientMD5Results", "No DownloadQueryResponse/DownloadInfo node"));
    const CClientURLResults notXml("not <xml");
    EXPECT_EQ(VERDICT_UNKNOWN, notXml.Code());
}

TEST_F(ResultDocuments, DomainFactsFromTheDocument) {
    const std::string document =
        "<DomainQueryResponse><DomainInfo name=\"shop.example.com\" expires=\"" + std::to_string(InAnHour()) +
        "\" popularity=\"87\"><DomainMetaData baseDomain=\"example.com\" dateCreated=\"1141516800\""
        // Tabs in an attribute travel as character references: the parser turns literal ones into spaces.
        " isDynamicIP=\"TRUE\" isUserContent=\"yes\" domainSpecRegExs=\"a(b)&#9;&#9;c{d}\">"
        "<Location country=\"US\" state=\"WA\" city=\"Seattle\"/></DomainMetaData></DomainInfo>"
        "<IPAddrInfo><country>CA</country></IPAddrInfo></DomainQueryResponse>";
    const CClientMetaResults facts(document.c_str());
    EXPECT_EQ("example.com", facts.BaseDomain());
    EXPECT_EQ("87", facts.Popularity());
    EXPECT_EQ(1141516800, facts.CreationDate());
    EXPECT_TRUE(facts.DynamicAddress());
    EXPECT_FALSE(facts.UserContent());
    EXPECT_EQ("US", facts.RegistrantCountry());
    EXPECT_EQ("WA", facts.RegistrantState());
    EXPECT_EQ("Seattle", facts.RegistrantCity());
    EXPECT_EQ("CA", facts.AddressCountry());
    EXPECT_EQ((std::vector<std::string>{"a{b}", "c(d)"}), facts.SitePatterns());
    EXPECT_EQ("", facts.Address());  // not part of the document
}

TEST_F(ResultDocuments, DomainFactsWithoutMetaDataKeepWhatWasRead) {
    const std::string document = "<DomainQueryResponse><DomainInfo expires=\"" + std::to_string(InAnHour()) +
                                 "\" popularity=\"5\"/><IPAddrInfo><country>NL</country></IPAddrInfo>"
                                 "</DomainQueryResponse>";
    const CClientMetaResults facts(document.c_str());
    EXPECT_TRUE(tool_.Reported("CClientMetaResults::CClientMetaResults", "No DomainMetaData"));
    EXPECT_EQ("5", facts.Popularity());
    EXPECT_EQ("NL", facts.AddressCountry());
    EXPECT_EQ("", facts.RegistrantCountry());
}

TEST_F(ResultDocuments, DownloadVerdictFromTheDocument) {
    const std::string document = "<DownloadQueryResponse><DownloadInfo title=\"Setup\" expires=\"" +
                                 std::to_string(InAnHour()) +
                                 "\"><Classification code=\"WARN\" color=\"red\"><description>Adware"
                                 "</description></Classification></DownloadInfo></DownloadQueryResponse>";
    const CClientMD5Results download(document.c_str());
    EXPECT_EQ("Setup", download.Title());
    EXPECT_EQ(VERDICT_WARN, download.Code());
    EXPECT_EQ(COLOR_RED, download.Color());
    EXPECT_EQ("Adware", download.Description());

    const std::string bare = "<DownloadQueryResponse><DownloadInfo expires=\"" + std::to_string(InAnHour()) +
                             "\"/></DownloadQueryResponse>";
    const CClientMD5Results unrated(bare.c_str());
    EXPECT_EQ(VERDICT_NONE, unrated.Code());
    EXPECT_EQ("", unrated.Description());  // no default texts for downloads
    EXPECT_TRUE(tool_.Lines().empty());
}

TEST_F(ResultDocuments, SendingAVerdictCountsItOnlyWhilePipIsExactlyTrue) {
    CClientURLResults site(
        SiteDocument(InAnHour(), "w.example", "<Classification code=\"WARN\" color=\"red\"/>").c_str());
    const auto desktop = reinterpret_cast<RPCWindow>(::GetDesktopWindow());
    SetOption(OptionScope::MachineWide, "PIP", "True");
    EXPECT_TRUE(site.Send(desktop, 0, 1));
    EXPECT_EQ(0, GetOptionInt(OptionScope::PerUser, "PIP\\Warn", 0));

    SetOption(OptionScope::MachineWide, "PIP", "true");
    EXPECT_TRUE(site.Send(desktop, 0, 1));
    EXPECT_TRUE(site.Send(desktop, 0, 2));
    EXPECT_EQ(2, GetOptionInt(OptionScope::PerUser, "PIP\\Warn", 0));

    CClientMD5Results download;  // code -1 counts nothing
    EXPECT_TRUE(download.Send(desktop, 0, 3));
    EXPECT_EQ(0, GetOptionInt(OptionScope::PerUser, "PIP\\Unknown", 0));
}

}  // namespace
