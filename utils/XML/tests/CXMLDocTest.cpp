#include "utils/XML/CXMLDoc.h"

#include "ComApartment.h"
#include "tests/support/DiagnosticCapture.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const char kDomainAnswer[] =
    "<?xml version=\"1.0\"?>\n"
    "<DomainQueryResponse>\n"
    "  <DomainInfo name=\"example.com\" expires=\"1893456000\" popularity=\"high\">\n"
    "    <Classification code=\"WARN\" color=\"red\">\n"
    "      <description>We recommend that you not use this site.</description>\n"
    "    </Classification>\n"
    "    <FacetInfos>\n"
    "      <CommerceInfo code=\"OK\" color=\"green\"/>\n"
    "      <DownloadsInfo code=\"WARN\" color=\"red\"><description>Adware.</description></DownloadsInfo>\n"
    "      <PersonalInformationInfo code=\"INFO\" color=\"\"/>\n"
    "      <RogueInfo code=\"UNKNOWN\"/>\n"
    "    </FacetInfos>\n"
    "    <DomainMetaData baseDomain=\"example.com\" dateCreated=\"946684800\"\n"
    "        isDynamicIP=\"False\" isUserContent=\"TRUE\" domainSpecRegExs=\"a(b)&#9;&#9;c{d}\">\n"
    "      <Location country=\"DE\" state=\"Bayern\" city=\"M\xfcnchen\"/>\n"
    "    </DomainMetaData>\n"
    "  </DomainInfo>\n"
    "  <IPAddrInfo><country>US</country></IPAddrInfo>\n"
    "</DomainQueryResponse>\n";

class CXMLDocTest : public testing::Test {
protected:
    ComApartment com_;
    testing_support::DiagnosticCapture tool_;
};

TEST_F(CXMLDocTest, ReadsADomainAnswerByPath) {
    ASSERT_TRUE(com_.Ready());
    CXMLDoc doc(kDomainAnswer);
    ASSERT_FALSE(doc.IsEmpty());

    const auto info = doc.Child("DomainQueryResponse/DomainInfo");
    ASSERT_NE(nullptr, info);
    EXPECT_EQ("example.com", info->GetAttribute("name"));
    EXPECT_EQ(1893456000, info->GetAttributeInt("expires"));
    EXPECT_EQ("high", info->GetAttribute("popularity"));

    const auto classification = info->Child("Classification");
    ASSERT_NE(nullptr, classification);
    EXPECT_EQ("WARN", classification->GetAttribute("code"));
    EXPECT_EQ("red", classification->GetAttribute("color"));
    EXPECT_EQ("We recommend that you not use this site.", classification->ChildText("description"));

    const auto facets = info->Child("FacetInfos");
    ASSERT_NE(nullptr, facets);
    EXPECT_EQ("Adware.", facets->ChildText("DownloadsInfo/description"));
    EXPECT_EQ("", facets->ChildText("CommerceInfo/description"));
    EXPECT_EQ("UNKNOWN", facets->Child("RogueInfo")->GetAttribute("code"));

    const auto meta = info->Child("DomainMetaData");
    ASSERT_NE(nullptr, meta);
    EXPECT_EQ("example.com", meta->GetAttribute("baseDomain"));
    EXPECT_EQ(946684800, meta->GetAttributeInt("dateCreated"));
    EXPECT_FALSE(meta->GetAttributeBool("isDynamicIP"));
    EXPECT_TRUE(meta->GetAttributeBool("isUserContent"));
    EXPECT_EQ("a(b)\t\tc{d}", meta->GetAttribute("domainSpecRegExs"));
    // XML turns a literal tab in an attribute into a space: the pattern list
    // must carry its tabs as character references, as above.
    EXPECT_EQ("a  b", CXMLDoc("<m p=\"a\t\tb\"/>").Child("m")->GetAttribute("p"));
    EXPECT_EQ("DE", meta->Child("Location")->GetAttribute("country"));

    EXPECT_EQ("US", doc.ChildText("DomainQueryResponse/IPAddrInfo/country"));
    EXPECT_TRUE(tool_.Lines().empty());
}

TEST_F(CXMLDocTest, ReadsADownloadAnswer) {
    ASSERT_TRUE(com_.Ready());
    CXMLDoc doc(
        "<DownloadQueryResponse><DownloadInfo title=\"setup.exe\" expires=\"12\">"
        "<Classification code=\"OK\" color=\"green\"><description>Clean.</description></Classification>"
        "</DownloadInfo></DownloadQueryResponse>");
    const auto info = doc.Child("DownloadQueryResponse/DownloadInfo");
    ASSERT_NE(nullptr, info);
    EXPECT_EQ("setup.exe", info->GetAttribute("title"));
    EXPECT_EQ(12, info->GetAttributeInt("expires"));
    EXPECT_EQ("Clean.", info->ChildText("Classification/description"));
    EXPECT_EQ(nullptr, doc.Child("DomainQueryResponse/DomainInfo"));
}

TEST_F(CXMLDocTest, MalformedTextIsReportedAndLeavesTheDocumentEmpty) {
    ASSERT_TRUE(com_.Ready());
    for (const char* text : {"<a><b></a>", "", "not xml at all", "<a>&undefined;</a>", "<a/><b/>"}) {
        CXMLDoc doc("<ok/>");
        ASSERT_FALSE(doc.IsEmpty());
        tool_.Clear();
        EXPECT_FALSE(doc.Set(text)) << text;
        EXPECT_TRUE(doc.IsEmpty()) << text;  // the earlier document is gone too
        EXPECT_EQ(nullptr, doc.Child("ok"));
        EXPECT_EQ("", doc.Text());
        EXPECT_TRUE(tool_.Reported("CXMLDoc::Set", "Error parsing XML")) << text;
    }
}

TEST_F(CXMLDocTest, NullTextIsReported) {
    ASSERT_TRUE(com_.Ready());
    CXMLDoc doc("<ok/>");
    EXPECT_FALSE(doc.Set(nullptr));
    EXPECT_TRUE(doc.IsEmpty());
    EXPECT_TRUE(tool_.Reported("CXMLDoc::Set", "NULL pointer"));
}

TEST_F(CXMLDocTest, SetReplacesThePreviousDocument) {
    ASSERT_TRUE(com_.Ready());
    CXMLDoc doc("<first>1</first>");
    ASSERT_EQ("1", doc.ChildText("first"));
    ASSERT_TRUE(doc.Set("<second>2</second>"));
    EXPECT_EQ(nullptr, doc.Child("first"));
    EXPECT_EQ("2", doc.ChildText("second"));
}

TEST_F(CXMLDocTest, NonAsciiTextCrossesAsAnsi) {
    ASSERT_TRUE(com_.Ready());
    ASSERT_EQ(1252u, GetACP());  // the test sessions' code page
    // ANSI in the document text, character references outside the code page,
    // and the no-break space of the verdict texts.
    CXMLDoc doc("<r city=\"M\xfcnchen\"><t>caf\xe9 \x80</t><u>&#x4E2D;&#xe9;</u><n>site,&#xa0;x</n></r>");
    ASSERT_FALSE(doc.IsEmpty());
    const auto root = doc.Child("r");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("M\xfcnchen", root->GetAttribute("city"));
    EXPECT_EQ("caf\xe9 \x80", root->ChildText("t"));
    EXPECT_EQ("?\xe9", root->ChildText("u"));
    EXPECT_EQ("site,\xa0x", root->ChildText("n"));
    const auto location = CXMLDoc(kDomainAnswer).Child("DomainQueryResponse/DomainInfo/DomainMetaData/Location");
    ASSERT_NE(nullptr, location);
    EXPECT_EQ("M\xfcnchen", location->GetAttribute("city"));
}

TEST_F(CXMLDocTest, EncodingDeclarationDoesNotChangeHowTheTextIsRead) {
    ASSERT_TRUE(com_.Ready());
    // The text reaches the parser already as UTF-16; a declared encoding
    // must not make it decode the characters a second time.
    for (const char* declaration : {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                                    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"}) {
        CXMLDoc doc((std::string(declaration) + "<r>M\xfcnchen</r>").c_str());
        ASSERT_FALSE(doc.IsEmpty()) << declaration;
        EXPECT_EQ("M\xfcnchen", doc.ChildText("r")) << declaration;
    }
}

TEST_F(CXMLDocTest, NodesOutliveTheirDocument) {
    ASSERT_TRUE(com_.Ready());
    std::unique_ptr<CXMLNode> kept;
    {
        CXMLDoc doc("<a><b>kept</b></a>");
        kept = doc.Child("a/b");
    }
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ("kept", kept->Text());
}

TEST(CXMLDocWithoutCom, ParserThatCannotBeCreatedIsReported) {
    testing_support::DiagnosticCapture tool;
    bool parsed = true;
    bool empty = false;
    // A thread of its own that never initialises COM.
    std::thread([&] {
        CXMLDoc doc;
        parsed = doc.Set("<a/>");
        empty = doc.IsEmpty();
    }).join();
    EXPECT_FALSE(parsed);
    EXPECT_TRUE(empty);
    EXPECT_TRUE(tool.Reported("CXMLDoc::Set", "Failed to instanciate XMLDOM"));
}

}  // namespace
