// Frames of a page: a worse frame pulls the page down (replacing its record
// only on the special sites), the service is told when the program asks for
// notices, and frames that navigate again or fail do not disturb the page.
#include "ie/Evaluation/tests/EvaluationFixture.h"

namespace {

using namespace evaluation_testing;

struct FrameCase {
    const char* name;
    const char* pageHost;
    const char* pageName;  // the site name the service rates
    int pageCode;
    int pageColour;
    int frameCode;
    int frameColour;
    bool frameFirst;             // the frame finishes before the page
    bool notices;                // "PIP" reads "true"
    int expectedColour;          // of the last verdict shown
    const char* expectedNotice;  // or null
};

void PrintTo(const FrameCase& test, std::ostream* out) { *out << test.name; }

class Frames : public EvaluationFixture, public ::testing::WithParamInterface<FrameCase> {
protected:
    IDispatch* Frame() const { return static_cast<IWebBrowser2*>(frame_.Get()); }
    win::ComPtr<testing_support::FakeWebBrowser> frame_ = testing_support::FakeWebBrowser::Create();
};

TEST_P(Frames, AWorseFramePullsThePageDown) {
    const FrameCase& test = GetParam();
    SetOption(OptionScope::MachineWide, "PIP", test.notices ? "true" : "false");
    service_.SetSite(test.pageHost, SiteRated(test.pageName, test.pageCode, test.pageColour));
    service_.SetSite("ads.frame.example", SiteRated("frame.example", test.frameCode, test.frameColour));
    const std::string page = std::string("http://") + test.pageHost + "/";
    const std::string frame = "http://ads.frame.example/banner";
    BeforeNavigate(page);
    NavigateComplete(page);
    if (!test.frameFirst) {
        AnswerFully(QueryAt(0));
        AnswerFully(QueryAt(1));
        DocumentComplete(page);
    }
    Event(EVAL_BEFORE_NAVIGATE, frame, Frame(), false);
    Event(EVAL_NAVIGATE_COMPLETE, frame, Frame(), false);
    AnswerFully(QueryAt(2));
    AnswerFully(QueryAt(3));
    Event(EVAL_DOCUMENT_COMPLETE, frame, Frame(), false);
    if (test.frameFirst) {
        AnswerFully(QueryAt(0));
        AnswerFully(QueryAt(1));
        DocumentComplete(page);
    }
    const std::vector<std::string> shown = host_.Calls("menu.Set(");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ("menu.Set(" + std::to_string(test.expectedColour) + ")", shown.back()) << test.name;
    if (test.expectedNotice) {
        ASSERT_TRUE(service_.WaitForNotices(1)) << test.name;
        EXPECT_EQ(std::vector<std::string>{test.expectedNotice}, service_.Notices());
    } else {
        Pump(100);
        EXPECT_TRUE(service_.Notices().empty()) << test.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Frames, ::testing::Values(
    FrameCase{"special site takes the frame's record", "www.hotmail.com", "hotmail.com", VERDICT_OK,
              COLOR_GREEN, VERDICT_WARN, COLOR_RED, false, true, COLOR_RED,
              "type=pulledDown&name=hotmail.com&by=frame.example"},
    FrameCase{"ordinary site keeps its record, the service hears of it", "news.example", "news.example",
              VERDICT_OK, COLOR_GREEN, VERDICT_WARN, COLOR_RED, false, true, COLOR_GREEN,
              "type=pulledDown&name=news.example&by=frame.example"},
    FrameCase{"special site, frame done first", "www.about.com", "about.com", VERDICT_INFO, COLOR_YELLOW,
              VERDICT_WARN, COLOR_RED, true, false, COLOR_RED, nullptr},
    FrameCase{"certified special site pulled down by an OK frame", "www.about.com", "about.com",
              VERDICT_CERTIFIED, COLOR_GREEN, VERDICT_OK, COLOR_YELLOW, false, true, COLOR_YELLOW,
              "type=pulledDown&name=about.com&by=frame.example"},
    FrameCase{"certified ordinary site is not pulled down by a late OK frame", "shop.example", "shop.example",
              VERDICT_CERTIFIED, COLOR_GREEN, VERDICT_OK, COLOR_YELLOW, false, true, COLOR_GREEN, nullptr},
    FrameCase{"certified ordinary site, OK frame done first: noticed, record kept", "shop.example",
              "shop.example", VERDICT_CERTIFIED, COLOR_GREEN, VERDICT_OK, COLOR_YELLOW, true, true,
              COLOR_GREEN, "type=pulledDown&name=shop.example&by=frame.example"},
    FrameCase{"an unknown frame never pulls down", "www.hotmail.com", "hotmail.com", VERDICT_OK, COLOR_GREEN,
              VERDICT_UNKNOWN, COLOR_GREY, false, true, COLOR_GREEN, nullptr},
    FrameCase{"no notices without the program", "news.example", "news.example", VERDICT_OK, COLOR_GREEN,
              VERDICT_WARN, COLOR_RED, false, false, COLOR_GREEN, nullptr}),
    [](const ::testing::TestParamInfo<FrameCase>& info) { return "Case" + std::to_string(info.index); });

class FrameLife : public Frames {};

TEST_F(FrameLife, AFrameNavigatingAgainReplacesItsDocument) {
    LoadPage("http://page.example/");
    Event(EVAL_BEFORE_NAVIGATE, "http://ads.frame.example/1", Frame(), false);
    const Query first = QueryAt(2);
    Event(EVAL_BEFORE_NAVIGATE, "http://ads.frame.example/2", Frame(), false);
    const Query second = QueryAt(3);
    const CEvalDoc* page = evaluator_.CurrentDocument();
    ASSERT_EQ(1u, page->Frames().size());
    EXPECT_EQ("http://ads.frame.example/2", page->Frames()[0]->Url());
    AnswerFully(first);  // the replaced document's answers reach nobody
    EXPECT_EQ(2, page->Frames()[0]->OutstandingReplies());
    AnswerFully(second);
    EXPECT_EQ(0, page->Frames()[0]->OutstandingReplies());
}

TEST_F(FrameLife, AFrameThatCannotReachTheServiceLeavesThePageAlone) {
    service_.SetSite("page.example", SiteRated("page.example", VERDICT_OK, COLOR_GREEN));
    LoadPage("http://page.example/");
    DocumentComplete("http://page.example/");
    Event(EVAL_BEFORE_NAVIGATE, "http://ads.frame.example/", Frame(), false);
    Event(EVAL_NAVIGATE_COMPLETE, "http://ads.frame.example/", Frame(), false);
    AnswerFully(QueryAt(2));
    service_.Deliver(QueryAt(3), Answer::kConnectionFail);
    EXPECT_EQ(0u, Count("menu.Set(4)"));
    EXPECT_EQ("menu.Set(0)", host_.Calls("menu.Set(").back());
    EXPECT_TRUE(evaluator_.CurrentDocument()->Frames()[0]->IsDone());
}

TEST_F(FrameLife, FrameMessagesGoToThePageBeingLoaded) {
    LoadPage("http://shown.example/");
    BeforeNavigate("http://loading.example/");
    Event(EVAL_BEFORE_NAVIGATE, "http://ads.frame.example/", Frame(), false);
    EXPECT_EQ(1u, evaluator_.PendingDocument()->Frames().size());
    EXPECT_TRUE(evaluator_.CurrentDocument()->Frames().empty());
}

}  // namespace
