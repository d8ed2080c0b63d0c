// The safe-search annotator with the shipped scripts in the real JScript
// engine, asking the rating service's real HTTP side through Wine's real
// XML HTTP object, over stand-in results pages of each supported engine.
#include "ie/SafeSearch/SafeSearch.h"

#include "service/CRatingsHttpServer.h"
#include "service/CRatingsStore.h"
#include "tests/support/FakeHtml.h"
#include "tests/support/FakeRatingService.h"
#include "utils/Options/Options.h"
#include "utils/iRPC/RatingsHttpAddress.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using testing_support::FakeDispatch;
using testing_support::FakeHtmlPage;
using testing_support::PumpUntil;

// The ratings the service answers with in these tests.
const char kRatings[] =
    "[site example.com]\nverdict = CERTIFIED\n"
    "[site forum.example.com]\nverdict = INFO\n"
    "[site freebies.example]\nverdict = WARN\n"
    "[site news.example.org]\nverdict = OK\n";

void DeleteOption(const char* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueA(key, name);
        ::RegCloseKey(key);
    }
}

bool OptionExists(const char* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const bool exists = ::RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return exists;
}

// One link of a stand-in page: where it points, the class of the block
// around it, and the badge colour it should get ("" for none).
struct Link {
    const wchar_t* href;
    const wchar_t* block;
    const wchar_t* badge;
};

struct Engine {
    const wchar_t* page;
    std::vector<Link> links;
};

// Results pages laid out the way each engine lays them out: results,
// redirect links that carry a result, ads, and the engine's own links.
const Engine kEngines[] = {
    {L"https://www.google.com/search?q=example&hl=en",
     {{L"https://www.google.com/url?q=http://www.example.com/about&sa=U", L"g", L"green"},
      {L"http://forum.example.com/t/42", L"g", L"yellow"},
      {L"https://www.googleadservices.com/pagead/aclk?adurl=http://ads.example.net/", L"g", L""},
      {L"http://shop.freebies.example/", L"ads-ad", L""},
      {L"http://shop.freebies.example/", L"tads", L""},
      {L"https://www.google.com/search?q=example&start=10", L"nav", L""},
      {L"https://maps.google.com/maps?q=example", L"nav", L""}}},
    {L"https://www.bing.com/search?q=example",
     {{L"http://www.freebies.example/download", L"b_algo", L"red"},
      {L"http://unrated.example.info/", L"b_algo", L"grey"},
      {L"https://www.bing.com/aclk?ld=e8", L"b_ad", L""},
      {L"http://sponsor.example.net/", L"b_ad", L""},
      {L"https://www.bing.com/images/search?q=example", L"b_scopebar", L""}}},
    {L"https://search.yahoo.com/search?p=example",
     {{L"https://r.search.yahoo.com/_ylt=A0/RV=2/RE=1/RO=10/RU=http%3a%2f%2fnews.example.org%2fstory/RK=2/RS=x-",
       L"algo", L"green"},
      {L"http://example.com/", L"algo", L"green"},
      {L"http://ads.example.net/", L"searchCenterTopAds ads", L""},
      {L"https://search.yahoo.com/search?p=example&b=11", L"pages", L""}}},
    {L"https://duckduckgo.com/?q=example&t=h_",
     {{L"https://duckduckgo.com/l/?uddg=http%3A%2F%2Fforum.example.com%2F&rut=ab", L"result", L"yellow"},
      {L"http://www.freebies.example/", L"result result--ad", L""},
      {L"https://duckduckgo.com/settings", L"header", L""}}},
    {L"https://www.ask.com/web?q=example",
     {{L"http://news.example.org/", L"PartialSearchResults-item", L"green"},
      {L"http://ads.example.net/", L"sponsored", L""},
      {L"https://www.ask.com/web?q=example&page=2", L"pagination", L""}}},
    {L"https://search.aol.com/aol/search?q=example",
     {{L"http://www.example.com/", L"algo", L"green"}, {L"https://search.aol.com/aol/image?q=x", L"nav", L""}}},
    {L"https://www.baidu.com/s?wd=example",
     {{L"http://freebies.example/", L"result c-container", L"red"}, {L"https://www.baidu.com/s?wd=more", L"page", L""}}},
    {L"https://yandex.ru/search/?text=example",
     {{L"http://forum.example.com/", L"serp-item", L"yellow"}, {L"https://yandex.ru/images/", L"nav", L""}}},
    {L"https://www.ecosia.org/search?q=example",
     {{L"http://unrated.example.info/page", L"result", L"grey"}, {L"https://www.ecosia.org/settings", L"nav", L""}}},
};

class SafeSearch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store_.Load(kRatings, "test"));
        saved_[0] = GetOption(OptionScope::PerUser, CSafeSearch::kHighlightOption);
        saved_[1] = GetOption(OptionScope::PerUser, CSafeSearch::kIconsOption);
        saved_[2] = GetOption(OptionScope::PerUser, CSafeSearch::kServerOption);
    }
    void TearDown() override {
        const char* names[] = {CSafeSearch::kHighlightOption, CSafeSearch::kIconsOption, CSafeSearch::kServerOption};
        for (int i = 0; i < 3; ++i) {
            if (saved_[i].empty())
                DeleteOption(names[i]);
            else
                SetOption(OptionScope::PerUser, names[i], saved_[i]);
        }
    }

    // Serves ratings on a free port and points "DssServer" at it.
    void ServeOnAnyPort() {
        ASSERT_TRUE(server_.Start("127.0.0.1", 0));
        SetOption(OptionScope::PerUser, CSafeSearch::kServerOption,
                  "http://127.0.0.1:" + std::to_string(server_.Port()) + "/ratings");
    }

    // Builds the page, each link alone in a block of the given class.
    std::unique_ptr<FakeHtmlPage> Page(const Engine& engine, std::vector<FakeDispatch*>* links) {
        auto page = std::make_unique<FakeHtmlPage>(engine.page);
        for (const Link& link : engine.links) {
            FakeDispatch* block = page->AddElement(nullptr, L"div", link.block);
            FakeDispatch* heading = page->AddElement(block, L"h3");
            links->push_back(page->AddLink(heading, link.href));
            page->AddElement(heading, L"span", L"", L"after");  // a sibling the badge goes in front of
        }
        return page;
    }

    static std::size_t Expected(const Engine& engine) {
        std::size_t count = 0;
        for (const Link& link : engine.links)
            count += link.badge[0] ? 1 : 0;
        return count;
    }

    CRatingsStore store_;
    CRatingsHttpServer server_{store_};
    std::string saved_[3];
};

TEST_F(SafeSearch, MarksEachEnginesResultsWithTheServicesRatingsAndLeavesAdsAndOwnLinksAlone) {
    ASSERT_NO_FATAL_FAILURE(ServeOnAnyPort());
    SetOption(OptionScope::PerUser, CSafeSearch::kHighlightOption, "false");
    SetOption(OptionScope::PerUser, CSafeSearch::kIconsOption, "true");
    CSafeSearch safeSearch;
    ASSERT_TRUE(safeSearch.IsReady());
    const std::wstring folder = safeSearch.ScriptsFolder();
    ASSERT_FALSE(folder.empty());
    ASSERT_EQ(L'\\', folder.back());

    for (const Engine& engine : kEngines) {
        SCOPED_TRACE(testing::Message() << engine.page);
        std::vector<FakeDispatch*> links;
        std::unique_ptr<FakeHtmlPage> page = Page(engine, &links);
        EXPECT_TRUE(safeSearch.is_search_page(std::string(engine.page, engine.page + wcslen(engine.page))));
        ASSERT_TRUE(safeSearch.AnnotateSearchPage(page->Browser()));
        const std::size_t expected = Expected(engine);
        // The answer comes asynchronously, through this thread's messages.
        EXPECT_TRUE(PumpUntil([&] { return page->CreatedInTree().size() >= expected; }, 5000));
        ::Sleep(50);
        PumpUntil([] { return false; }, 50);
        EXPECT_EQ(expected, page->CreatedInTree().size());
        for (std::size_t i = 0; i < links.size(); ++i) {
            const Link& link = engine.links[i];
            FakeDispatch* next = page->NextSibling(links[i]);
            const bool badged = next && next->GetString(L"tagName") == L"img";
            EXPECT_EQ(link.badge[0] != 0, badged) << link.href;
            if (!badged || !link.badge[0])
                continue;
            const std::wstring src = next->GetString(L"src");
            EXPECT_EQ(src.substr(0, 8), L"file:///") << src;
            EXPECT_NE(std::wstring::npos, src.find(std::wstring(L"/Scripts/badge_") + link.badge + L".png")) << src;
            EXPECT_EQ(std::wstring::npos, src.find(L'\\')) << src;
            EXPECT_EQ(L"quillon-safesearch-badge", next->GetString(L"className"));
            const bool unrated = std::wstring(link.badge) == L"grey";
            EXPECT_EQ(unrated, next->GetString(L"title").find(L"not rated") != std::wstring::npos) << link.badge;
            EXPECT_EQ(L"", FakeHtmlPage::StyleOf(links[i], L"backgroundColor"));
        }
    }
}

TEST_F(SafeSearch, HighlightsWithoutIconsAndResetTakesMarksOff) {
    ASSERT_NO_FATAL_FAILURE(ServeOnAnyPort());
    // Exactly "true" counts: "TRUE" leaves the icons off.
    SetOption(OptionScope::PerUser, CSafeSearch::kHighlightOption, "true");
    SetOption(OptionScope::PerUser, CSafeSearch::kIconsOption, "TRUE");
    CSafeSearch safeSearch;
    std::vector<FakeDispatch*> links;
    std::unique_ptr<FakeHtmlPage> page = Page(kEngines[1], &links);  // bing: red, grey, ad, ad, own
    ASSERT_TRUE(safeSearch.AnnotateSearchPage(page->Browser()));
    EXPECT_TRUE(PumpUntil([&] { return !FakeHtmlPage::StyleOf(links[0], L"backgroundColor").empty(); }, 5000));
    EXPECT_EQ(L"#ffd6d6", FakeHtmlPage::StyleOf(links[0], L"backgroundColor"));
    EXPECT_EQ(L"", FakeHtmlPage::StyleOf(links[1], L"backgroundColor"));  // unrated: no colour to show
    EXPECT_EQ(L"", FakeHtmlPage::StyleOf(links[3], L"backgroundColor"));  // the ad
    EXPECT_TRUE(page->CreatedInTree().empty());

    // The next page starts clean: marks of the last one come off.
    SetOption(OptionScope::PerUser, CSafeSearch::kHighlightOption, "false");
    SetOption(OptionScope::PerUser, CSafeSearch::kIconsOption, "true");
    std::vector<FakeDispatch*> otherLinks;
    std::unique_ptr<FakeHtmlPage> other = Page(kEngines[6], &otherLinks);  // baidu: one red result
    ASSERT_TRUE(safeSearch.AnnotateSearchPage(other->Browser()));
    EXPECT_EQ(L"", FakeHtmlPage::StyleOf(links[0], L"backgroundColor"));
    EXPECT_TRUE(PumpUntil([&] { return other->CreatedInTree().size() == 1; }, 5000));
}

TEST_F(SafeSearch, AnAnswerForAnEarlierPageIsDropped) {
    ASSERT_NO_FATAL_FAILURE(ServeOnAnyPort());
    SetOption(OptionScope::PerUser, CSafeSearch::kIconsOption, "true");
    CSafeSearch safeSearch;
    std::vector<FakeDispatch*> firstLinks, secondLinks;
    std::unique_ptr<FakeHtmlPage> first = Page(kEngines[0], &firstLinks);
    std::unique_ptr<FakeHtmlPage> second = Page(kEngines[4], &secondLinks);
    ASSERT_TRUE(safeSearch.AnnotateSearchPage(first->Browser()));
    ASSERT_TRUE(safeSearch.AnnotateSearchPage(second->Browser()));  // before the first answer is in
    EXPECT_TRUE(PumpUntil([&] { return second->CreatedInTree().size() == 1; }, 5000));
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(first->CreatedInTree().empty());
}

TEST_F(SafeSearch, AsksOurOwnServiceByDefaultAndNothingWithoutAService) {
    // "DssServer" missing: the service's fixed loopback address, stored.
    DeleteOption(CSafeSearch::kServerOption);
    DeleteOption(CSafeSearch::kHighlightOption);
    DeleteOption(CSafeSearch::kIconsOption);
    ASSERT_TRUE(server_.Start("127.0.0.1", kRatingsHttpPort));
    CSafeSearch safeSearch;
    std::vector<FakeDispatch*> links;
    std::unique_ptr<FakeHtmlPage> page = Page(kEngines[5], &links);  // aol: one green result
    ASSERT_TRUE(safeSearch.AnnotateSearchPage(page->Browser()));
    EXPECT_EQ(kRatingsHttpUrl, GetOption(OptionScope::PerUser, CSafeSearch::kServerOption));
    EXPECT_EQ("false", GetOption(OptionScope::PerUser, CSafeSearch::kHighlightOption));
    EXPECT_EQ("true", GetOption(OptionScope::PerUser, CSafeSearch::kIconsOption));
    EXPECT_TRUE(PumpUntil([&] { return page->CreatedInTree().size() == 1; }, 5000));

    // No service: the call still succeeds, and the page stays as it was.
    server_.Stop();
    std::vector<FakeDispatch*> otherLinks;
    std::unique_ptr<FakeHtmlPage> other = Page(kEngines[5], &otherLinks);
    ASSERT_TRUE(safeSearch.AnnotateSearchPage(other->Browser()));
    PumpUntil([] { return false; }, 500);
    EXPECT_TRUE(other->CreatedInTree().empty());
    EXPECT_TRUE(OptionExists(CSafeSearch::kServerOption));
}

TEST_F(SafeSearch, RecognisesResultsPagesAndOldBrowsersGetNoAnnotation) {
    CSafeSearch safeSearch;
    EXPECT_TRUE(safeSearch.is_search_page("https://www.bing.com/search?q=quillon"));
    EXPECT_FALSE(safeSearch.is_search_page("https://www.bing.com/"));
    EXPECT_FALSE(safeSearch.is_search_page(""));
    EXPECT_FALSE(safeSearch.AnnotateSearchPage(nullptr));
    for (const char* version : {"5.5", "6.0.2900", "8.0", "unknown", "5.50"})
        EXPECT_TRUE(CSafeSearch::BrowserVersionAnnotates(version)) << version;
    for (const char* version : {"5.0", "5.01", "4.72", "10.0", "11.0", ""})
        EXPECT_FALSE(CSafeSearch::BrowserVersionAnnotates(version)) << version;
}

}  // namespace
