#include "utils/URL/AddressRules.h"

#include "ReportProbe.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IsNonroutable, PrivateRangesAtTheirEdges) {
    for (const char* inside : {"10.1.2.3", "10.", "192.168.0.1", "172.16.0.1", "172.20.9.9",
                               "172.31.255.1"})
        EXPECT_TRUE(IsNonroutable(inside)) << inside;
    for (const char* outside : {"172.15.0.1", "172.32.0.1", "172.3.1.1", "192.169.0.1",
                                "192.16.1.1", "100.1.1.1", "10", "11.0.0.1", "8.8.8.8", "",
                                " 10.0.0.1"})
        EXPECT_FALSE(IsNonroutable(outside)) << outside;
}

TEST(IsNonroutable, NullHostIsReportedAndTreatedAsPrivate) {
    ReportProbe probe;
    EXPECT_TRUE(IsNonroutable(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(probe.Reported("IsNonroutable", "NULL pointer"));
}

TEST(IsRateableURL, PublicWebAddressesAreRated) {
    for (const char* rated : {"HTTP://Example.COM/", "https://www.example.com/a?b",
                              "http://127.0.0.2/", "http://0x7f.0.0.1/", "HTTP://0X7F.0.0.1/",
                              "http://8.8.8.8:81/",
                              "http://joe:pw@example.com/"})
        EXPECT_TRUE(IsRateableURL(rated)) << rated;
}

TEST(IsRateableURL, OtherSchemesAreNotRated) {
    for (const char* other : {"ftp://example.com/", "file://C:/x.html", "about:blank",
                              "javascript:location='http://example.com/'", "httpx://example.com/",
                              " http://example.com/", ""})
        EXPECT_FALSE(IsRateableURL(other)) << other;
}

TEST(IsRateableURL, LocalAndPrivateHostsAreNotRated) {
    for (const char* local : {"http://localhost/", "HTTPS://LOCALHOST:8443/x",
                              "http://127.0.0.1/", "http://127.0.0.1:8080/a",
                              "http://192.168.1.1/", "http://10.0.0.1/", "http://172.31.0.5/",
                              "http://intranet/", "http://.example.com/"})
        EXPECT_FALSE(IsRateableURL(local)) << local;
}

TEST(IsRateableURL, NamesThatMerelyStartLikePrivateAddressesAreRated) {
    EXPECT_TRUE(IsRateableURL("http://10.example.com/"));
    EXPECT_TRUE(IsRateableURL("http://192.168.login-bank.example/"));
    EXPECT_TRUE(IsRateableURL("http://172.16.example.net/"));
}

TEST(IsRateableURL, AddressesWithoutAHostAreNotRated) {
    for (const char* hostless : {"http:///?x", "http:///path", "https://", "http://.../",
                                 "http://a@b@example.com/", "http://example.com:99999/",
                                 "http://:pw@example.com/"})
        EXPECT_FALSE(IsRateableURL(hostless)) << hostless;
    const std::string longHost = "http://" + std::string(250, 'a') + ".example/";
    EXPECT_FALSE(IsRateableURL(longHost));
}

TEST(IsRateableURL, NullAddressIsReportedAndNotRated) {
    ReportProbe probe;
    EXPECT_FALSE(IsRateableURL(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(probe.Reported("IsRateableURL", "NULL pointer"));
}

TEST(TruncateAtSeparator, CutsAtTheFirstSeparator) {
    EXPECT_EQ("a/b", TruncateAtSeparator("a/b?c=1"));
    EXPECT_EQ("a", TruncateAtSeparator("a;b,c"));
    EXPECT_EQ("a", TruncateAtSeparator("a,b?c"));
    EXPECT_EQ("http://x/p", TruncateAtSeparator("http://x/p&q"));
    EXPECT_EQ("", TruncateAtSeparator("?x"));
    EXPECT_EQ("http://x/a#b", TruncateAtSeparator("http://x/a#b"));
    EXPECT_EQ("", TruncateAtSeparator(""));
}

TEST(TruncateAtSeparator, NullTextIsReportedAndYieldsNothing) {
    ReportProbe probe;
    EXPECT_EQ("", TruncateAtSeparator(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(probe.Reported("TruncateAtSeparator", "NULL pointer"));
}

}  // namespace
