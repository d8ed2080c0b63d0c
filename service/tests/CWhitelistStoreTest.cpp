#include "service/CWhitelistStore.h"

#include <gtest/gtest.h>

namespace {

TEST(WhitelistStore, AddRemoveAndReplaceKeepEachSiteOnce) {
    CWhitelistStore list;
    EXPECT_TRUE(list.Add("a.example"));
    EXPECT_TRUE(list.Add("  B.Example "));
    EXPECT_FALSE(list.Add("A.EXAMPLE"));  // already there
    EXPECT_FALSE(list.Add(""));
    EXPECT_FALSE(list.Add("c.example;d.example"));  // would split into two on the add-on's side
    EXPECT_FALSE(list.Add("e.example\x01"));
    EXPECT_FALSE(list.Add(std::string(CWhitelistStore::kMaxSiteLength + 1, 'x')));
    EXPECT_EQ("a.example;b.example", list.ListText());

    EXPECT_TRUE(list.Remove("A.example"));
    EXPECT_FALSE(list.Remove("a.example"));
    EXPECT_EQ("b.example", list.ListText());

    EXPECT_TRUE(list.Replace(" x.example ;;Y.example;x.example;"));
    EXPECT_EQ("x.example;y.example", list.ListText());
    EXPECT_FALSE(list.Replace("x.example;y.example"));
    EXPECT_TRUE(list.Replace(""));
    EXPECT_EQ("", list.ListText());
}

TEST(WhitelistStore, TheListIsBounded) {
    CWhitelistStore list;
    for (std::size_t i = 0; i < CWhitelistStore::kMaxSites; ++i)
        ASSERT_TRUE(list.Add("s" + std::to_string(i) + ".example"));
    EXPECT_FALSE(list.Add("one-more.example"));
    EXPECT_EQ(CWhitelistStore::kMaxSites, list.Sites().size());
}

TEST(WhitelistStore, FileFormRoundTrips) {
    CWhitelistStore list;
    list.Replace("a.example;b.example");
    EXPECT_EQ("a.example\r\nb.example\r\n", list.FileText());
    CWhitelistStore loaded;
    loaded.LoadFileText("a.example\r\n\r\nb.example\nbad;site\n  ");
    EXPECT_EQ("a.example;b.example", loaded.ListText());
}

}  // namespace
