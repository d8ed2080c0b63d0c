#include "utils/URL/PublicSuffix.h"
#include "utils/URL/UURL.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DomainCase {
    const char* host;
    const char* expected;  // null: the host is a public suffix itself
};

// The list's published test cases, read from the list's own file at build time.
const DomainCase kPublishedCases[] = {
#include "PublicSuffixCases.inc"
};

std::string Lower(std::string text) {
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

std::string DomainOf(const std::string& host) { return UURL("http://" + host + "/").GetDomain(); }

TEST(PublicSuffix, ThePublishedCasesGiveTheirRegistrableDomain) {
    int checked = 0;
    for (const DomainCase& test : kPublishedCases) {
        const std::string host = test.host;
        // A leading dot is malformed to the list; an address's host reads runs of dots as
        // one separator (see EmptyLabelsAreSkipped), so these ask nothing of the table.
        if (host[0] == '.')
            continue;
        std::string expected;
        if (test.expected)
            expected = test.expected;
        else  // a public suffix is its own domain; one label keeps its dot
            expected = Lower(host.find('.') == std::string::npos ? "." + host : host);
        // The list's answers are lower-case; ours keep the letters of the address.
        EXPECT_EQ(expected, Lower(DomainOf(host))) << host;
        ++checked;
    }
    EXPECT_GE(checked, 60);
}

TEST(PublicSuffix, WildcardsExceptionsPrivateSuffixesAndLetterCase) {
    const struct {
        const char* host;
        const char* domain;
    } cases[] = {
        // "*.ck" with the exception "!www.ck".
        {"a.b.test.ck", "b.test.ck"},
        {"test.ck", "test.ck"},
        {"www.ck", "www.ck"},
        {"a.www.ck", "www.ck"},
        {"WWW.CK", "WWW.CK"},
        // "*.kawasaki.jp" with "!city.kawasaki.jp".
        {"x.y.kawasaki.jp", "x.y.kawasaki.jp"},
        {"www.city.kawasaki.jp", "city.kawasaki.jp"},
        // The security case: one label below "co.uk" is the site.
        {"www.bbc.co.uk", "bbc.co.uk"},
        {"a.example.co.uk", "example.co.uk"},
        {"Shop.Example.CO.UK", "Example.CO.UK"},
        {"co.uk", "co.uk"},
        // Private suffixes count as browsers count them.
        {"user.github.io", "user.github.io"},
        {"www.user.github.io", "user.github.io"},
        {"github.io", "github.io"},
        {"Site.BlogSpot.com", "Site.BlogSpot.com"},
        {"a.b.s3.amazonaws.com", "b.s3.amazonaws.com"},
        // A top-level name no rule knows is a suffix all the same.
        {"www.example.notlisted", "example.notlisted"},
        // Internationalised suffixes, as written and as "xn--".
        {"www.\xe9\xa3\x9f\xe7\x8b\xae.\xe5\x85\xac\xe5\x8f\xb8.cn", "\xe9\xa3\x9f\xe7\x8b\xae.\xe5\x85\xac\xe5\x8f\xb8.cn"},
        {"www.shishi.XN--55QX5D.cn", "shishi.XN--55QX5D.cn"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.domain, DomainOf(test.host)) << test.host;
}

TEST(PublicSuffix, EmptyLabelsAreSkipped) {
    EXPECT_EQ("example.com", UURL("http://www..example.com./").GetDomain());
    EXPECT_EQ("bbc.co.uk", UURL("http://.www.bbc..co.uk../").GetDomain());
    EXPECT_EQ(".com", UURL("http://.com/").GetDomain());
}

TEST(PublicSuffix, LengthsCountLabelsFromTheRight) {
    EXPECT_EQ(2u, PublicSuffixLength("a.b.test.ck"));
    EXPECT_EQ(3u, RegistrableDomainLength("a.b.test.ck"));
    EXPECT_EQ(3u, RegistrableDomainLength("b.test.ck"));
    EXPECT_EQ(2u, RegistrableDomainLength("test.ck"));
    EXPECT_EQ(2u, PublicSuffixLength("ck"));  // "*.ck": one label more than there is
    EXPECT_EQ(1u, RegistrableDomainLength("ck"));
    EXPECT_EQ(3u, RegistrableDomainLength("..www..bbc.co.uk.."));
    EXPECT_EQ(0u, RegistrableDomainLength(""));
    EXPECT_EQ(0u, RegistrableDomainLength("..."));
    // Both sections of the list were compiled in.
    EXPECT_GT(PublicSuffixRuleCount(), 9000u);
}

}  // namespace
