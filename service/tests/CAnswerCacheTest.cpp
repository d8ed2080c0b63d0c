#include "service/CAnswerCache.h"

#include "utils/iRPC/CServerNotify.h"

#include <gtest/gtest.h>

namespace {

CAnswerCache::Answers OneAnswer(const std::string& text) {
    CAnswerCache::Answers answers;
    answers.push_back(std::make_unique<CServerNotify>(text));
    return answers;
}

std::string TextOf(const CAnswerCache::Answers& answers) {
    return static_cast<const CServerNotify&>(*answers.at(0)).Text();
}

TEST(AnswerCache, AnswersAreReusedForAMinuteOnly) {
    CAnswerCache cache;
    EXPECT_EQ(nullptr, cache.Find("site a.example", 1000));
    cache.Store("site a.example", OneAnswer("first"), 1000);
    ASSERT_NE(nullptr, cache.Find("site a.example", 1000 + CAnswerCache::kReuseSeconds));
    EXPECT_EQ("first", TextOf(*cache.Find("site a.example", 1000)));
    EXPECT_EQ(nullptr, cache.Find("site b.example", 1000));
    EXPECT_EQ(nullptr, cache.Find("site a.example", 1001 + CAnswerCache::kReuseSeconds));
    EXPECT_EQ(0u, cache.Size());  // stale entries go

    cache.Store("site a.example", OneAnswer("second"), 2000);
    EXPECT_EQ(nullptr, cache.Find("site a.example", 1999));  // clock set back
    cache.Store("site a.example", OneAnswer("third"), 2000);
    EXPECT_EQ("fourth", TextOf(cache.Store("site a.example", OneAnswer("fourth"), 2001)));
    EXPECT_EQ("fourth", TextOf(*cache.Find("site a.example", 2001)));
    EXPECT_EQ(1u, cache.Size());
}

TEST(AnswerCache, AFullCacheStartsAfresh) {
    CAnswerCache cache;
    for (std::size_t i = 0; i < CAnswerCache::kMaxEntries; ++i)
        cache.Store("host " + std::to_string(i), OneAnswer("x"), 5);
    EXPECT_EQ(CAnswerCache::kMaxEntries, cache.Size());
    cache.Store("host 0", OneAnswer("again"), 5);  // a replacement does not flush
    EXPECT_EQ(CAnswerCache::kMaxEntries, cache.Size());
    cache.Store("host new", OneAnswer("new"), 5);
    EXPECT_EQ(1u, cache.Size());
    EXPECT_EQ("new", TextOf(*cache.Find("host new", 5)));
}

}  // namespace
