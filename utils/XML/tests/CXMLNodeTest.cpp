#include "utils/XML/CXMLDoc.h"

#include "ComApartment.h"
#include "tests/support/DiagnosticCapture.h"

#include <gtest/gtest.h>

namespace {

class CXMLNodeTest : public testing::Test {
protected:
    ComApartment com_;
    testing_support::DiagnosticCapture tool_;
};

TEST_F(CXMLNodeTest, FindNodeStatuses) {
    ASSERT_TRUE(com_.Ready());
    CXMLDoc doc("<a><b/></a>");
    win::ComPtr<IXMLDOMNode> found;
    EXPECT_EQ(S_OK, doc.FindNode("a/b", &found));
    EXPECT_TRUE(found);
    EXPECT_EQ(S_FALSE, doc.FindNode("a/c", &found));
    EXPECT_FALSE(found);
    EXPECT_TRUE(tool_.Lines().empty());

    EXPECT_EQ(E_POINTER, doc.FindNode(nullptr, &found));
    EXPECT_EQ(E_POINTER, doc.FindNode("a", nullptr));
    EXPECT_TRUE(tool_.Reported("CXMLNode::FindNode", "NULL pointer"));

    CXMLNode empty;
    EXPECT_EQ(E_FAIL, empty.FindNode("a", &found));
    EXPECT_TRUE(tool_.Reported("CXMLNode::FindNode", "Node not initialized"));
}

TEST_F(CXMLNodeTest, EmptyWrapperReadsAsEmpty) {
    ASSERT_TRUE(com_.Ready());
    CXMLNode empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(nullptr, empty.Child("a"));
    EXPECT_EQ("", empty.GetAttribute("a"));
    EXPECT_EQ(0, empty.GetAttributeInt("a"));
    EXPECT_FALSE(empty.GetAttributeBool("a"));
    EXPECT_EQ("", empty.Text());
    EXPECT_EQ("", empty.ChildText("a"));
    EXPECT_TRUE(tool_.Lines().empty());  // Child and the readers do not report
}

TEST_F(CXMLNodeTest, SeveralMatchesYieldTheFirstInDocumentOrder) {
    ASSERT_TRUE(com_.Ready());
    CXMLDoc doc("<r><x n=\"1\"/><y><x n=\"inner\"/></y><x n=\"2\"/></r>");
    EXPECT_EQ("1", doc.Child("r/x")->GetAttribute("n"));
    EXPECT_EQ("inner", doc.Child("r/y/x")->GetAttribute("n"));
}

TEST_F(CXMLNodeTest, AttributesAsTextNumbersAndFlags) {
    ASSERT_TRUE(com_.Ready());
    CXMLDoc doc(
        "<r empty=\"\" spaced=\"  42\" neg=\"-17\" plus=\"+8\" tail=\"12abc\" word=\"abc\""
        " big=\"99999999999\" small=\"-99999999999\""
        " t1=\"TRUE\" t2=\"True\" t3=\"true\" f1=\"yes\" f2=\"1\" f3=\"true \"/>");
    const auto r = doc.Child("r");
    ASSERT_NE(nullptr, r);
    EXPECT_EQ("", r->GetAttribute("empty"));
    EXPECT_EQ("", r->GetAttribute("absent"));
    EXPECT_EQ(0, r->GetAttributeInt("empty"));
    EXPECT_EQ(0, r->GetAttributeInt("absent"));
    EXPECT_EQ(42, r->GetAttributeInt("spaced"));
    EXPECT_EQ(-17, r->GetAttributeInt("neg"));
    EXPECT_EQ(8, r->GetAttributeInt("plus"));
    EXPECT_EQ(12, r->GetAttributeInt("tail"));
    EXPECT_EQ(0, r->GetAttributeInt("word"));
    EXPECT_EQ(2147483647, r->GetAttributeInt("big"));
    EXPECT_EQ(-2147483647 - 1, r->GetAttributeInt("small"));
    EXPECT_TRUE(r->GetAttributeBool("t1"));
    EXPECT_TRUE(r->GetAttributeBool("t2"));
    EXPECT_TRUE(r->GetAttributeBool("t3"));
    EXPECT_FALSE(r->GetAttributeBool("f1"));
    EXPECT_FALSE(r->GetAttributeBool("f2"));
    EXPECT_FALSE(r->GetAttributeBool("f3"));
    EXPECT_FALSE(r->GetAttributeBool("absent"));
    // The document node has no attributes at all.
    EXPECT_EQ("", doc.GetAttribute("empty"));

    EXPECT_EQ("", r->GetAttribute(nullptr));
    EXPECT_TRUE(tool_.Reported("CXMLNode::GetAttribute", "NULL pointer"));
}

TEST_F(CXMLNodeTest, TextIncludesDescendants) {
    ASSERT_TRUE(com_.Ready());
    CXMLDoc doc("<r><a>one<b>two</b>three</a><c/></r>");
    EXPECT_EQ("onetwothree", doc.ChildText("r/a"));
    EXPECT_EQ("two", doc.ChildText("r/a/b"));
    EXPECT_EQ("", doc.ChildText("r/c"));
    EXPECT_EQ("", doc.ChildText("r/missing"));
    EXPECT_EQ("onetwothree", doc.Text());
}

TEST_F(CXMLNodeTest, NullNodeTextIsReported) {
    EXPECT_EQ("", NodeValueAsString(nullptr));
    EXPECT_TRUE(tool_.Reported("NodeValueAsString", "NULL pointer"));
}

}  // namespace
