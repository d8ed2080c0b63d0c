#include "ie/Download/VerdictMerge.h"

#include "utils/iRPC/Verdict.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Answer = std::function<void(CVerdictMerge&)>;

Answer Site(std::int32_t code, std::int32_t downloads, const char* text = "site text") {
    return [=](CVerdictMerge& merge) { merge.OnSiteResult(code, downloads, COLOR_GREY, text); };
}
Answer Checksum(std::int32_t code, const char* text = "checksum text") {
    return [=](CVerdictMerge& merge) { merge.OnChecksumResult(code, COLOR_RED, text, "title"); };
}

TEST(VerdictMerge, MergeRulesInEitherOrder) {
    struct Case {
        const char* name;
        std::vector<Answer> answers;
        std::int32_t verdict;
        const char* text;
    } const cases[] = {
        {"nothing", {}, VERDICT_PENDING, "Unknown download"},
        {"certified site after a WARN checksum", {Checksum(4), Site(0, 1)}, 0,
         "You are downloading from a certified site."},
        {"certified site before a WARN checksum", {Site(0, 1), Checksum(4)}, 0,
         "You are downloading from a certified site."},
        {"UNKNOWN checksum keeps the site's verdict", {Site(2, 2, "info"), Checksum(3)}, 2, "info"},
        {"checksum wins over a site", {Site(2, 2, "info"), Checksum(1, "fine")}, 1, "fine"},
        {"site after a used checksum changes nothing", {Checksum(1, "fine"), Site(4, 4)}, 1, "fine"},
        {"a worse site raises", {Site(1, 1, "ok"), Site(4, 4, "bad")}, 4, "bad"},
        {"a better site does not lower", {Site(4, 4, "bad"), Site(1, 1, "ok")}, 4, "bad"},
        {"a site without a verdict is ignored", {Site(99, 4, "none")}, VERDICT_PENDING, "Unknown download"},
        {"the Downloads facet gives the verdict", {Site(1, 4, "downloads bad")}, 4, "downloads bad"},
        {"a checksum answer without a rating says nothing", {Site(2, 2, "info"), Checksum(-1)}, 2, "info"},
    };
    for (const Case& c : cases) {
        CVerdictMerge merge;
        for (const Answer& answer : c.answers)
            answer(merge);
        EXPECT_EQ(c.verdict, merge.Verdict()) << c.name;
        EXPECT_EQ(c.text, merge.Text()) << c.name;
    }
}

TEST(VerdictMerge, TheWaitEndsWhenEveryRequestIsAnswered) {
    // List request, checksum query, download site and referring site: six
    // answers in all, not the eight that counting two for each would wait for.
    CVerdictMerge merge;
    merge.Expect(CVerdictMerge::kAnswersPerListRequest);
    merge.Expect(CVerdictMerge::kAnswersPerChecksumQuery);
    merge.Expect(CVerdictMerge::kAnswersPerSiteQuery);
    merge.Expect(CVerdictMerge::kAnswersPerSiteQuery);
    for (int i = 0; i < 5; ++i) {
        merge.CountAnswer();
        EXPECT_FALSE(merge.AllAnswered()) << i;
    }
    merge.CountAnswer();
    EXPECT_TRUE(merge.AllAnswered());
    merge.CountAnswer();  // a stray extra answer does not go below zero
    EXPECT_EQ(0, merge.Outstanding());
}

}  // namespace
