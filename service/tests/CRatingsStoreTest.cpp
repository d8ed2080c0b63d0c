#include "service/CRatingsStore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <vector>

namespace {

// service/ratings.txt and the README's example, compiled in.
const char kSampleDatabase[] =
#include "SampleRatings.inc"
    ;
const char kReadmeExample[] =
#include "ReadmeRatingsExample.inc"
    ;

std::string SampleDatabase() { return kSampleDatabase; }

const char kSmall[] =
    "# two sites and a download\r\n"
    "[site example.com]\r\n"
    "verdict = CERTIFIED\r\n"
    "created = 1995-08-14\r\n"
    "\r\n"
    "[site Forum.Example.COM]\n"
    "verdict = INFO darkgrey\n"
    "description =   Mixed: see the facets  \n"
    "downloads = WARN\n"
    "downloads-text = Adware\n"
    "dynamic-address = Yes\n"
    "pattern = ^a(b)\n"
    "pattern = c{d}\n"
    "[download 0CC175B9C0F1B6A831C399E269772661]\n"
    "title = a\n"
    "verdict = WARN\n";

TEST(RatingsStore, SampleDatabaseLoadsWithEveryVerdictFactsAndDownloads) {
    const std::string text = SampleDatabase();
    ASSERT_FALSE(text.empty());
    CRatingsStore store;
    ASSERT_TRUE(store.Load(text, "ratings.txt")) << store.LastError();
    EXPECT_GE(store.SiteCount(), 12u);

    std::set<std::int32_t> codes;
    for (const char* host : {"example.com", "forum.example.com", "bank.example", "shop.example.net",
                             "news.example.org", "blog.example.org", "files.example.net", "mailer.example.net",
                             "freebies.example", "prize-winner.example", "cheap-pills.example",
                             "games.example"}) {
        const SiteRating* site = store.FindSite(host);
        ASSERT_NE(nullptr, site) << host;
        EXPECT_EQ(host, site->name);
        codes.insert(site->verdict.code);
        EXPECT_NE(0, site->created) << host;
        EXPECT_FALSE(site->registrantCountry.empty()) << host;
        EXPECT_FALSE(site->address.empty()) << host;
        EXPECT_FALSE(site->addressCountry.empty()) << host;
        EXPECT_FALSE(site->popularity.empty()) << host;
        EXPECT_FALSE(site->patterns.empty()) << host;
        EXPECT_FALSE(site->registrationExpires.empty()) << host;
        // A WARN entry may leave a facet unrated; the others rate all four.
        for (const RatedVerdict& facet : site->facets) {
            if (site->verdict.code != VERDICT_WARN) {
                EXPECT_NE(VERDICT_NONE, facet.code) << host;
            }
        }
    }
    EXPECT_EQ((std::set<std::int32_t>{VERDICT_CERTIFIED, VERDICT_OK, VERDICT_INFO, VERDICT_WARN}), codes);

    std::set<std::int32_t> downloadCodes;
    for (const char* checksum : {"d41d8cd98f00b204e9800998ecf8427e", "0cc175b9c0f1b6a831c399e269772661",
                                 "900150983cd24fb0d6963f7d28e17f72"}) {
        const DownloadRating* download = store.FindDownload(checksum);
        ASSERT_NE(nullptr, download) << checksum;
        EXPECT_FALSE(download->title.empty());
        EXPECT_FALSE(download->verdict.description.empty());
        downloadCodes.insert(download->verdict.code);
    }
    EXPECT_EQ((std::set<std::int32_t>{VERDICT_OK, VERDICT_INFO, VERDICT_WARN}), downloadCodes);
}

TEST(RatingsStore, EntriesKeepWhatTheTextSays) {
    CRatingsStore store;
    ASSERT_TRUE(store.Load(kSmall, "small")) << store.LastError();
    EXPECT_EQ(2u, store.SiteCount());
    EXPECT_EQ(1u, store.DownloadCount());

    const SiteRating* top = store.FindSite("example.com");
    ASSERT_NE(nullptr, top);
    EXPECT_EQ(VERDICT_CERTIFIED, top->verdict.code);
    EXPECT_EQ(COLOR_GREEN, top->verdict.color);  // default colour of the code
    EXPECT_EQ(808358400, top->created);          // 1995-08-14 00:00 UTC
    EXPECT_EQ("example.com", top->baseDomain);   // defaults to the name
    EXPECT_EQ(VERDICT_NONE, top->facets[FACET_COMMERCE].code);

    const SiteRating* forum = store.FindSite("forum.example.com");
    ASSERT_NE(nullptr, forum);
    EXPECT_EQ("forum.example.com", forum->name);  // names are lower-cased
    EXPECT_EQ(VERDICT_INFO, forum->verdict.code);
    EXPECT_EQ(COLOR_DARKGREY, forum->verdict.color);
    EXPECT_EQ("Mixed: see the facets", forum->verdict.description);
    EXPECT_EQ(VERDICT_WARN, forum->facets[FACET_DOWNLOADS].code);
    EXPECT_EQ("Adware", forum->facets[FACET_DOWNLOADS].description);
    EXPECT_TRUE(forum->dynamicAddress);
    EXPECT_FALSE(forum->userContent);
    EXPECT_EQ((std::vector<std::string>{"^a(b)", "c{d}"}), forum->patterns);

    const DownloadRating* download = store.FindDownload("0cc175b9c0f1b6a831c399e269772661");
    ASSERT_NE(nullptr, download);
    EXPECT_EQ("a", download->title);
    EXPECT_EQ(COLOR_RED, download->verdict.color);
    EXPECT_EQ(download, store.FindDownload(" 0CC175B9C0F1B6A831C399E269772661 "));
    EXPECT_EQ(nullptr, store.FindDownload("d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_EQ(nullptr, store.FindDownload(""));
}

TEST(RatingsStore, HostsAreFoundThroughTheirNearestRatedParent) {
    CRatingsStore store;
    ASSERT_TRUE(store.Load(std::string(kSmall) + "[site 198.51.100.66]\nverdict = WARN\n", "small"));
    const SiteRating* top = store.FindSite("example.com");
    const SiteRating* forum = store.FindSite("forum.example.com");
    EXPECT_EQ(top, store.FindSite("www.example.com"));
    EXPECT_EQ(top, store.FindSite("a.b.example.com"));
    EXPECT_EQ(top, store.FindSite("WWW.Example.Com."));
    EXPECT_EQ(forum, store.FindSite("a.b.forum.example.com"));
    EXPECT_EQ(nullptr, store.FindSite("notexample.com"));
    EXPECT_EQ(nullptr, store.FindSite("example.com.evil.example"));
    EXPECT_EQ(nullptr, store.FindSite("com"));
    EXPECT_EQ(nullptr, store.FindSite(""));
    EXPECT_EQ(nullptr, store.FindSite("..."));
    ASSERT_NE(nullptr, store.FindSite("198.51.100.66"));
    // Numeric addresses have no parents.
    EXPECT_EQ(nullptr, store.FindSite("10.198.51.100.66"));
}

TEST(RatingsStore, TheReadmeExampleLoadsAsWritten) {
    CRatingsStore store;
    ASSERT_TRUE(store.Load(kReadmeExample, "README")) << store.LastError();
    const SiteRating* site = store.FindSite("www.example.com");
    ASSERT_NE(nullptr, site);
    EXPECT_EQ(VERDICT_CERTIFIED, site->verdict.code);
    EXPECT_EQ(COLOR_GREEN, site->verdict.color);
    EXPECT_EQ("US", site->registrantCountry);
    EXPECT_EQ("192.0.2.10", site->address);
    EXPECT_EQ("13-Aug-2030", site->registrationExpires);
    EXPECT_EQ((std::vector<std::string>{"^https?://([a-z0-9-]+\\.)*example\\.com(/|$)"}), site->patterns);
    EXPECT_FALSE(site->dynamicAddress);
    const DownloadRating* download = store.FindDownload("d41d8cd98f00b204e9800998ecf8427e");
    ASSERT_NE(nullptr, download);
    EXPECT_EQ("Empty file", download->title);
}

TEST(RatingsStore, EachVerdictWithoutAColourTakesItsOwnDefault) {
    const struct {
        const char* code;
        int color;
    } cases[] = {
        {"CERTIFIED", COLOR_GREEN}, {"OK", COLOR_GREEN}, {"INFO", COLOR_YELLOW},
        {"UNKNOWN", COLOR_GREY},    {"WARN", COLOR_RED},
    };
    for (const auto& test : cases) {
        CRatingsStore store;
        ASSERT_TRUE(store.Load(std::string("[site a.example]\nverdict = ") + test.code +
                                   "\n[download 0cc175b9c0f1b6a831c399e269772661]\nverdict = " + test.code + "\n",
                               "colours"));
        EXPECT_EQ(test.color, store.FindSite("a.example")->verdict.color) << test.code;
        EXPECT_EQ(test.color, store.FindDownload("0cc175b9c0f1b6a831c399e269772661")->verdict.color) << test.code;
    }
}

TEST(RatingsStore, ValidDatesAreTakenAtTheEdgesOfTheirMonths) {
    for (const char* date : {"2023-04-30", "2024-02-29", "2023-12-31", "1970-01-01", "2037-12-31"}) {
        CRatingsStore store;
        EXPECT_TRUE(store.Load(std::string("[site a.example]\nverdict = OK\ncreated = ") + date + "\n", "dates"))
            << date;
    }
}

TEST(RatingsStore, ParentLookUpStopsAtTheRegistrableDomain) {
    // Entries for public suffixes rate those names alone, never the sites
    // registered below them.
    CRatingsStore store;
    ASSERT_TRUE(store.Load("[site com]\nverdict = WARN\n[site co.uk]\nverdict = WARN\n"
                           "[site github.io]\nverdict = WARN\n[site bbc.co.uk]\nverdict = OK\n"
                           "[site test.ck]\nverdict = WARN\n",
                           "suffixes"));
    ASSERT_NE(nullptr, store.FindSite("com"));
    ASSERT_NE(nullptr, store.FindSite("co.uk"));
    ASSERT_NE(nullptr, store.FindSite("test.ck"));
    EXPECT_EQ(nullptr, store.FindSite("example.com"));
    EXPECT_EQ(nullptr, store.FindSite("www.example.com"));
    EXPECT_EQ(nullptr, store.FindSite("example.co.uk"));
    EXPECT_EQ(nullptr, store.FindSite("someone.github.io"));
    EXPECT_EQ(nullptr, store.FindSite("a.b.test.ck"));
    EXPECT_EQ(store.FindSite("bbc.co.uk"), store.FindSite("News.BBC.co.uk."));
    EXPECT_EQ(VERDICT_OK, store.FindSite("www.bbc.co.uk")->verdict.code);
}

TEST(RatingsStore, AFaultAnywhereIsReportedWithItsLineAndEmptiesTheStore) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"[site a.example]\nverdict = OK\ncolour = red\n", "line 3: unknown key \"colour\""},
        {"[site a.example]\nverdict = GOOD\n", "line 2: unknown verdict \"GOOD\""},
        {"[site a.example]\nverdict = OK pink\n", "line 2: unknown colour \"pink\""},
        {"[site a.example]\nverdict = OK\ncommerce = fine\n", "line 3: unknown verdict \"fine\""},
        {"[site a.example]\nverdict = OK\ncreated = 2038-01-01\n", "line 3: \"created\""},
        {"[site a.example]\nverdict = OK\ncreated = 2023-02-29\n", "line 3: \"created\""},
        {"[site a.example]\nverdict = OK\ncreated = 2023-04-31\n", "line 3: \"created\""},
        {"[site a.example]\nverdict = OK\ncreated = 2023-11-31\n", "line 3: \"created\""},
        {"[site a.example]\nverdict = OK\ncreated = 2023-13-01\n", "line 3: \"created\""},
        {"[site a.example]\nverdict = OK\nuser-content = maybe\n", "line 3: \"user-content\""},
        {"[site a.example]\nverdict = OK\npattern =\n", "line 3: a pattern"},
        {"verdict = OK\n", "line 1: \"verdict\" before the first"},
        {"\n\n[site a.example]\ntitle = x\n", "line 4: unknown key \"title\""},
        {"[site a.example]\nverdict = OK\n[site A.example]\nverdict = OK\n", "line 3: site a.example is rated twice"},
        {"# ok\n[site a.example]\ndescription = no verdict\n[site b.example]\nverdict = OK\n",
         "line 2: the entry has no \"verdict\" line"},
        {"[site a.example]\nverdict = OK\n[download 1234]\n", "line 3: \"1234\" is not an MD5"},
        {"[site a example]\n", "line 1: \"a example\" is not a site name"},
        {"[site a.example\n", "line 1: a section header"},
        {"[host a.example]\n", "line 1: unknown section \"host\""},
        {"[site a.example]\nverdict OK\n", "line 2: expected \"key = value\""},
    };
    for (const auto& fault : cases) {
        CRatingsStore store;
        ASSERT_TRUE(store.Load(kSmall, "small"));
        EXPECT_FALSE(store.Load(fault.text, "db.txt")) << fault.text;
        EXPECT_EQ(0u, store.SiteCount()) << fault.text;
        EXPECT_EQ(0u, store.DownloadCount()) << fault.text;
        EXPECT_EQ(0u, store.LastError().find(std::string("db.txt ") + fault.expected))
            << fault.text << " gave " << store.LastError();
    }
}

TEST(RatingsStore, EmptyTextIsAnEmptyDatabase) {
    CRatingsStore store;
    EXPECT_TRUE(store.Load("", "empty"));
    EXPECT_TRUE(store.Load("# nothing rated yet\n\n", "comments"));
    EXPECT_EQ(0u, store.SiteCount());
    EXPECT_EQ(nullptr, store.FindSite("example.com"));
}

}  // namespace
