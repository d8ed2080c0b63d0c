// The safety balloon's arithmetic and show rules, without windows: the
// layout from measured sizes, where it hangs, its colours, and when it shows.
#include "ie/UI/BalloonLayout.h"
#include "ie/UI/BalloonShowRules.h"

#include <gtest/gtest.h>

namespace {

using Decision = CBalloonShowRules::Decision;

// Title 100 x 18, body 180 x 45, close 11 x 11, links 80 x 13 and 110 x 13:
// the links set the content width (80 + 110 + 25 = 215).
constexpr BalloonMeasures kMeasures{{100, 18}, {180, 45}, {11, 11}, {80, 13}, {110, 13}};

TEST(BalloonLayoutTest, PartsCardOutlineAndPointer) {
    struct Case {
        bool anchored;
        bool pointerOnRight;
        BalloonRect card;
        BalloonRect outline;
        int height;
        BalloonPoint pointer[3];
    };
    const Case cases[] = {
        {false, false, {14, 12, 235, 112}, {6, 6, 243, 118}, 118, {}},
        {false, true, {14, 12, 235, 112}, {6, 6, 243, 118}, 118, {}},
        {true, false, {14, 32, 235, 132}, {6, 26, 243, 138}, 138, {{12, 26}, {12, 0}, {32, 26}}},
        {true, true, {14, 32, 235, 132}, {6, 26, 243, 138}, 138, {{231, 26}, {231, 0}, {211, 26}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "anchored " << c.anchored << " right " << c.pointerOnRight);
        const BalloonGeometry g = LayOutBalloon(kMeasures, c.anchored, c.pointerOnRight);
        const int down = c.anchored ? 20 : 0;
        EXPECT_EQ(g.title, (BalloonRect{20, 18 + down, 120, 36 + down}));
        EXPECT_EQ(g.body, (BalloonRect{20, 42 + down, 200, 87 + down}));
        EXPECT_EQ(g.close, (BalloonRect{218, 18 + down, 229, 29 + down}));
        EXPECT_EQ(g.details, (BalloonRect{20, 93 + down, 100, 106 + down}));
        EXPECT_EQ(g.neverWarn, (BalloonRect{119, 93 + down, 229, 106 + down}));
        EXPECT_EQ(g.card, c.card);
        EXPECT_EQ(g.outline, c.outline);
        EXPECT_EQ(g.width, 243);
        EXPECT_EQ(g.height, c.height);
        EXPECT_EQ(g.hasPointer, c.anchored);
        if (c.anchored) {
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(g.pointer[i], c.pointer[i]) << i;
        }
    }
}

TEST(BalloonLayoutTest, WidestPartSetsTheWidth) {
    // A long title with the close button, then a long body.
    BalloonMeasures title = kMeasures;
    title.title = {300, 18};
    EXPECT_EQ(LayOutBalloon(title, false, false).close, (BalloonRect{326, 18, 337, 29}));  // W = 300 + 11 + 12
    EXPECT_EQ(LayOutBalloon(title, false, false).width, 14 + 323 + 6 + 8);
    BalloonMeasures body = kMeasures;
    body.body = {250, 100};
    EXPECT_EQ(LayOutBalloon(body, false, false).neverWarn, (BalloonRect{160, 148, 270, 161}));  // W = 256
}

TEST(BalloonLayoutTest, PlacementBelowTheMenuBarAndInTheWindowCorner) {
    struct Case {
        bool anchored;
        BalloonRect reference;  // the menu bar, or the work area
        BalloonRect browser;
        bool pointerOnRight;
        int left;
        int top;
    };
    const Case cases[] = {
        // The band right of the browser's middle: the balloon reaches left.
        {true, {600, 100, 700, 122}, {0, 0, 800, 600}, true, 700 - 243 - 70, 124},
        {true, {50, 100, 150, 122}, {0, 0, 800, 600}, false, 70, 124},
        {true, {350, 80, 450, 100}, {0, 0, 800, 600}, false, 370, 102},  // centred: left
        {false, {0, 0, 1024, 768}, {600, 50, 1000, 500}, true, 1000 - 243 - 20, 70},
        {false, {0, 0, 1024, 768}, {10, 40, 400, 400}, false, 30, 60},
        {false, {0, 0, 1024, 768}, {12, 0, 1012, 700}, false, 32, 20},  // centred: left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "left " << c.left);
        const BalloonPlacement p = c.anchored ? PlaceBelowMenuBar(c.reference, c.browser, 243)
                                              : PlaceInWindowCorner(c.reference, c.browser, 243);
        EXPECT_EQ(p.anchored, c.anchored);
        EXPECT_EQ(p.pointerOnRight, c.pointerOnRight);
        EXPECT_EQ(p.left, c.left);
        EXPECT_EQ(p.top, c.top);
    }
}

TEST(BalloonLayoutTest, ColoursByCodeAndOthersKeepTheOld) {
    struct Case {
        int code;
        bool known;
        std::uint32_t region;
        std::uint32_t card;
        std::uint32_t border;
    };
    const Case cases[] = {
        {0, true, 0x7ED8AD, 0xDFF5EA, 0x719382}, {1, true, 0x38EDF2, 0xCDFAFC, 0x5A9B9E},
        {2, true, 0x1728F0, 0xC5C9FB, 0x8D92C4}, {3, true, 0xC0C0C0, 0xEEEEEE, 0x808080},
        {4, true, 0xC0C0C0, 0xEEEEEE, 0x808080}, {5, false, 1, 2, 3},
        {-1, false, 1, 2, 3},
    };
    for (const Case& c : cases) {
        BalloonColours colours{1, 2, 3};
        EXPECT_EQ(BalloonColoursOf(c.code, &colours), c.known) << c.code;
        EXPECT_EQ(colours.region, c.region) << c.code;
        EXPECT_EQ(colours.card, c.card) << c.code;
        EXPECT_EQ(colours.border, c.border) << c.code;
    }
}

// A WARN page: the balloon waits for the delay, shows once per site and
// text, and a new text for the same site shows again.
TEST(BalloonShowRulesTest, AutomaticBalloonWaitsAndShowsOncePerSiteAndText) {
    CBalloonShowRules rules;
    EXPECT_FALSE(rules.DelayPassed()) << "nothing was asked for";
    rules.Hide();
    rules.Set(4, "Risky downloads", "bad.example");
    EXPECT_EQ(rules.Show(CBalloonShowRules::kAutomatic, false, false), Decision::kWait);
    EXPECT_TRUE(rules.Wanted());
    EXPECT_TRUE(rules.DelayPassed());
    EXPECT_EQ(rules.Show(rules.CurrentMode(), false, false), Decision::kShow);
    EXPECT_TRUE(rules.ShowDetailsLink());
    EXPECT_TRUE(rules.ShowNeverWarnLink());
    rules.Shown();
    EXPECT_FALSE(rules.DelayPassed()) << "shown already";
    EXPECT_EQ(rules.Show(CBalloonShowRules::kAutomatic, true, false), Decision::kNothing) << "up already";
    EXPECT_EQ(rules.AutoHideInterval(), 10000u);
    EXPECT_FALSE(rules.StaysUnderPointer());

    // The next page of the same site with the same warning.
    rules.Hide();
    rules.Set(4, "Risky downloads", "bad.example");
    EXPECT_EQ(rules.Show(CBalloonShowRules::kAutomatic, false, false), Decision::kNothing);
    EXPECT_EQ(rules.Show(CBalloonShowRules::kForm, false, false), Decision::kNothing);
    EXPECT_FALSE(rules.DelayPassed());
    // Another warning for the site, and the same warning for another site.
    struct Next {
        const char* text;
        const char* site;
    };
    for (const Next& next : {Next{"Sends spam", "bad.example"}, Next{"Risky downloads", "other.example"}}) {
        rules.Hide();
        rules.Set(4, next.text, next.site);
        EXPECT_EQ(rules.Show(CBalloonShowRules::kForm, false, false), Decision::kWait) << next.text;
        EXPECT_TRUE(rules.DelayPassed());
        EXPECT_EQ(rules.Show(rules.CurrentMode(), false, false), Decision::kShow);
        rules.Shown();
    }
    EXPECT_TRUE(rules.InHistory("bad.example", "Sends spam"));
    EXPECT_FALSE(rules.InHistory("other.example", "Sends spam"));
}

// The do-not-warn list stops automatic balloons; on request the balloon
// shows at once, without the never-warn link, and without details for a
// page that has no verdict.
TEST(BalloonShowRulesTest, DoNotWarnListRequestsAndLinks) {
    struct Case {
        int mode;
        int verdict;
        bool onList;
        bool delayPassed;
        Decision decision;
        bool details;
        bool neverWarn;
    };
    const Case cases[] = {
        {CBalloonShowRules::kAutomatic, 4, true, true, Decision::kNothing, false, false},
        {CBalloonShowRules::kForm, 4, true, true, Decision::kNothing, false, false},
        {CBalloonShowRules::kOnRequest, 4, true, false, Decision::kShow, true, false},
        {CBalloonShowRules::kOnRequest, 99, false, false, Decision::kShow, false, true},
        {CBalloonShowRules::kAutomatic, 99, false, true, Decision::kShow, false, true},
        {CBalloonShowRules::kForm, 4, false, false, Decision::kWait, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " verdict " << c.verdict << " listed " << c.onList);
        CBalloonShowRules rules;
        rules.Set(c.verdict, "text", "site.example");
        if (c.delayPassed)
            rules.DelayPassed();
        EXPECT_EQ(rules.Show(c.mode, false, c.onList), c.decision);
        EXPECT_EQ(rules.ShowDetailsLink(), c.details);
        EXPECT_EQ(rules.ShowNeverWarnLink(), c.neverWarn);
        EXPECT_EQ(rules.AutoHideInterval(), c.mode == CBalloonShowRules::kOnRequest ? 1000u : 10000u);
    }
    // A site shown on request is not shown again automatically.
    CBalloonShowRules rules;
    rules.Set(4, "text", "site.example");
    ASSERT_EQ(rules.Show(CBalloonShowRules::kOnRequest, false, false), Decision::kShow);
    rules.Shown();
    rules.Hide();
    rules.DelayPassed();
    EXPECT_EQ(rules.Show(CBalloonShowRules::kAutomatic, false, false), Decision::kNothing);
    EXPECT_EQ(rules.Show(CBalloonShowRules::kOnRequest, false, false), Decision::kShow);
}

}  // namespace
