#include "ie/Browser/DoNotWarnList.h"
#include "ie/Browser/ExploitList.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

namespace {

TEST(ExploitListTest, LoadsTheShippedListAndFindsHostsBelowItsDomains) {
    CExploitList list;
    ASSERT_TRUE(list.Load());
    EXPECT_GE(list.Size(), 8u);
    struct Case {
        const char* host;
        const char* match;
    };
    const Case cases[] = {
        {"exploit-kit.example", "exploit-kit.example"},
        {"a.b.exploit-kit.example", "exploit-kit.example"},
        {"WWW.Exploit-Kit.EXAMPLE", "exploit-kit.example"},
        {"cdn.malvertising-cdn.example.net", "malvertising-cdn.example.net"},
        {"notexploit-kit.example", ""},
        {"exploit-kit.example.safe.net", ""},
        {"example", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.Match(c.host), c.match) << c.host;
}

TEST(ExploitListTest, AnUnreadableFileLeavesTheListEmpty) {
    testing_support::ScratchDirectory folder("QuillonExploitList");
    ASSERT_TRUE(testing_support::WriteWholeFile(folder.Path() + "plain.dat", "bad.example\r\n"));
    CExploitList list;
    list.Insert("left.over");
    for (const std::string& path : {folder.Path() + "missing.dat", folder.Path() + "plain.dat", folder.Path()}) {
        EXPECT_FALSE(list.Load(path)) << path;
        EXPECT_EQ(list.Size(), 0u) << path;
    }
}

TEST(ExploitListTest, TriesTheHostThenEachParentDomain) {
    CExploitList list;
    list.Insert("bad.com");
    list.Insert("localhost");
    EXPECT_EQ(list.Match("x.y.bad.com"), "bad.com");
    EXPECT_EQ(list.Match("localhost"), "localhost");
    EXPECT_EQ(list.Match("intranet"), "") << "a host without a dot ends after one look-up";
    EXPECT_EQ(list.Match("com"), "");
    list.Insert("com");
    EXPECT_EQ(list.Match("x.y.bad.com"), "bad.com") << "the nearest listed domain wins";
}

TEST(DoNotWarnListTest, SetSplitsAtSemicolonsAndSkipsEmptyPieces) {
    CDoNotWarnList list;
    EXPECT_FALSE(list.Received());
    list.Set("a.com;;b.com;");
    EXPECT_TRUE(list.Received());
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"a.com", "b.com"}));
    EXPECT_EQ(list.Join(), "a.com;b.com");
    list.Set("");
    EXPECT_TRUE(list.Entries().empty());
    EXPECT_TRUE(list.Received());
}

// Listing a site covers the site and the hosts below it, and nothing that
// merely mentions its name.
TEST(DoNotWarnListTest, MatchesTheHostNotASubstring) {
    CDoNotWarnList list;
    list.Set("paypal.com;Example.ORG;http://shop.example.net/basket");
    struct Case {
        const char* address;
        bool listed;
    };
    const Case cases[] = {
        {"http://paypal.com/", true},
        {"https://www.PayPal.com/signin?x=1", true},
        {"paypal.com", true},
        {"http://paypal.com.login-check.example/", false},
        {"http://notpaypal.com/", false},
        {"http://evil.example/?u=paypal.com", false},
        {"http://evil.example/paypal.com/", false},
        {"http://evil.example/;paypal.com", false},
        {"http://www.example.org/", true},
        {"http://shop.example.net/other", true},
        {"http://example.net/", false},
        {"", false},
        {"file:///C:/paypal.com/page.html", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.Matches(c.address), c.listed) << c.address;
}

TEST(DoNotWarnListTest, ChangesOfAnEdit) {
    CDoNotWarnList list;
    list.Set("a.com;b.com;c.com");
    const CDoNotWarnList::Changes changes = list.ChangesTo("a.com;c.com;d.com;d.com;");
    EXPECT_EQ(changes.added, std::vector<std::string>{"d.com"});
    EXPECT_EQ(changes.removed, std::vector<std::string>{"b.com"});
    EXPECT_TRUE(list.ChangesTo("c.com;a.com;b.com").added.empty());

    EXPECT_TRUE(list.Add("e.com"));
    EXPECT_FALSE(list.Add("e.com"));
    EXPECT_FALSE(list.Add(""));
    EXPECT_FALSE(list.Add("f.com;g.com"));
    EXPECT_EQ(list.Join(), "a.com;b.com;c.com;e.com");
}

}  // namespace
