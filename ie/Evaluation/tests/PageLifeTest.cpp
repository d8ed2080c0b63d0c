// Whole page lives through the evaluator: browser events in, service
// answers in every order, and what the decision matrix shows.
#include "ie/Evaluation/tests/EvaluationFixture.h"

#include <array>

namespace {

using namespace evaluation_testing;

class PageLife : public EvaluationFixture {};

TEST_F(PageLife, FourAnswersInEveryOrderGiveOneVerdictThenThePhishingAlert) {
    // A brand's name on a site the service has never heard of.
    const std::string url = "http://paypal-login.example.com/signin";
    service_.SetSite("paypal-login.example.com", SiteRated("example.com", VERDICT_UNKNOWN, COLOR_GREY));
    // 0, 1: answers to the query before navigation; 2, 3: to the one after it.
    std::array<int, 4> order = {0, 1, 2, 3};
    int lives = 0;
    do {
        host_.ClearLog();
        const std::size_t first = static_cast<std::size_t>(evaluator_.LastRequestId());
        BeforeNavigate(url);
        NavigateComplete(url);
        const Query before = QueryAt(first);
        const Query after = QueryAt(first + 1);
        EXPECT_EQ(url, before.text);
        EXPECT_NE(before.requestId, after.requestId);
        EXPECT_EQ(evaluator_.Window(), before.replyWindow);
        for (std::size_t i = 0; i < order.size(); ++i) {
            EXPECT_EQ(0u, Count("menu.Set(3)")) << "published before the last answer, life " << lives;
            const Query& query = order[i] < 2 ? before : after;
            service_.Deliver(query, order[i] % 2 == 0 ? Answer::kMeta : Answer::kURL);
        }
        EXPECT_EQ((std::vector<std::string>{"balloon.Hide", "menu.ShowWaiting", "menu.Set(3)",
                                            "balloon.Set(3,3,example.com verdict,example.com)"}),
                  host_.Log())
            << "order " << order[0] << order[1] << order[2] << order[3];
        EXPECT_EQ(VERDICT_UNKNOWN, evaluator_.GetCurrentClassification());
        EXPECT_EQ("example.com", evaluator_.GetCurrentDomain());

        DocumentComplete(url);
        ASSERT_TRUE(evaluator_.CurrentDocument()->PhishingFound());
        EXPECT_TRUE(host_.Calls("alert").empty()) << "the alert must wait for a fresh stack";
        EXPECT_TRUE(testing_support::PumpUntil([&] { return !host_.Calls("alert").empty(); }, 2000));
        Pump(10);
        const std::vector<std::string> alerts = host_.Calls("alert");
        ASSERT_EQ(1u, alerts.size());
        EXPECT_EQ(0u, alerts[0].find("alert(1,")) << alerts[0];
        EXPECT_NE(std::string::npos, alerts[0].find("paypal")) << "the scripts' reasoning is shown";
        ++lives;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(24, lives);
}

TEST_F(PageLife, TheServiceAnsweringByItselfRatesThePage) {
    service_.AnswerAutomatically(true, 5);
    service_.SetSite("www.bad.example", SiteRated("bad.example", VERDICT_WARN, COLOR_RED));
    BeforeNavigate("http://www.bad.example/");
    NavigateComplete("http://www.bad.example/");
    ASSERT_TRUE(testing_support::PumpUntil([&] { return Count("balloon.Show(0)") == 1; }));
    EXPECT_EQ(1u, Count("menu.Set(2)"));
    DocumentComplete("http://www.bad.example/");
    Pump(20);
    EXPECT_TRUE(host_.Calls("alert").empty()) << "a WARN site is known: no alert";
    EXPECT_TRUE(evaluator_.CurrentDocument()->IsDone());
}

TEST_F(PageLife, NoAnswerGivesTheFailureVerdictWhenTheTimerFires) {
    EXPECT_EQ(10000u, evaluator_.EvaluationTimeout());
    evaluator_.SetEvaluationTimeout(50);
    BeforeNavigate("http://quiet.example/");
    NavigateComplete("http://quiet.example/");
    ASSERT_TRUE(testing_support::PumpUntil([&] { return Count("menu.Set(4)") == 1; }, 2000));
    EXPECT_EQ(1u, Count("balloon.Set(4,99,We're experiencing communication problems right now.,)"));
    // Answers after giving up change nothing; the timer fired only once.
    AnswerFully(QueryAt(1));
    Pump(150);
    EXPECT_EQ(1u, Count("menu.Set(4)"));
    EXPECT_EQ(0u, Count("menu.Set(3)"));
}

TEST_F(PageLife, AnsweredPagesStopTheTimer) {
    evaluator_.SetEvaluationTimeout(50);
    LoadPage("http://fine.example/");
    Pump(200);
    EXPECT_EQ(0u, Count("menu.Set(4)"));
    EXPECT_EQ(1u, Count("menu.Set(3)"));
}

TEST_F(PageLife, ConnectionFailureAfterNavigationGivesTheFailureVerdictAtOnce) {
    BeforeNavigate("http://away.example/");
    NavigateComplete("http://away.example/");
    AnswerFully(QueryAt(0));
    service_.Deliver(QueryAt(1), Answer::kConnectionFail);
    EXPECT_EQ(1u, Count("menu.Set(4)"));
    EXPECT_TRUE(evaluator_.CurrentDocument()->IsDone());
}

TEST_F(PageLife, ConnectionFailureBeforeNavigationOnlyCountsDown) {
    evaluator_.SetEvaluationTimeout(100);
    BeforeNavigate("http://flaky.example/");
    service_.Deliver(QueryAt(0), Answer::kConnectionFail);
    NavigateComplete("http://flaky.example/");
    EXPECT_EQ(0u, Count("menu.Set(4)")) << "the query after navigation may still be answered";
    AnswerFully(QueryAt(1));
    EXPECT_EQ(1u, Count("menu.Set(3)"));
    Pump(250);
    EXPECT_EQ(0u, Count("menu.Set(4)"));

    // Still away at the second query: the timer gives the failure verdict.
    BeforeNavigate("http://flaky.example/again");
    service_.Deliver(QueryAt(2), Answer::kConnectionFail);
    NavigateComplete("http://flaky.example/again");
    EXPECT_EQ(0u, Count("menu.Set(4)"));
    ASSERT_TRUE(testing_support::PumpUntil([&] { return Count("menu.Set(4)") == 1; }, 2000));
}

TEST_F(PageLife, AReplacedNavigationIsForgottenWithItsAnswers) {
    BeforeNavigate("http://first.example/");
    const Query first = QueryAt(0);
    BeforeNavigate("http://second.example/");
    const Query second = QueryAt(1);
    AnswerFully(first);  // nobody asks any more
    EXPECT_EQ(2, evaluator_.PendingDocument()->OutstandingReplies());
    NavigateComplete("http://second.example/");
    AnswerFully(second);
    AnswerFully(QueryAt(2));
    EXPECT_EQ("second.example", evaluator_.GetCurrentDomain());
    EXPECT_EQ(1u, Count("balloon.Set(3,3,Not tested,second.example)"));
    EXPECT_EQ(3, evaluator_.LastRequestId());
}

TEST_F(PageLife, HistoryNavigationWithoutBeforeNavigateIsRatedToo) {
    NavigateComplete("http://restored.example/page");
    const Query before = QueryAt(0);
    const Query after = QueryAt(1);
    EXPECT_EQ("http://restored.example/page", before.text);
    EXPECT_EQ("http://restored.example/page", after.text);
    AnswerFully(after);
    AnswerFully(before);  // the last answer is one to the synthesized query
    EXPECT_EQ((std::vector<std::string>{"balloon.Hide", "menu.ShowWaiting", "menu.Set(3)",
                                        "balloon.Set(3,3,Not tested,restored.example)"}),
              host_.Log());
}

TEST_F(PageLife, AnswersGoToTheDocumentThatAsked) {
    LoadPage("http://shown.example/");
    host_.ClearLog();
    // The user moves on, and the page on display re-asks nothing; but a
    // frame of the shown page still gets its answers while the next page loads.
    auto frame = testing_support::FakeWebBrowser::Create();
    IDispatch* frameBrowser = static_cast<IWebBrowser2*>(frame.Get());
    service_.SetSite("ads.bad.example", SiteRated("bad.example", VERDICT_WARN, COLOR_RED));
    Event(EVAL_BEFORE_NAVIGATE, "http://ads.bad.example/", frameBrowser, false);
    Event(EVAL_NAVIGATE_COMPLETE, "http://ads.bad.example/", frameBrowser, false);
    const Query frameBefore = QueryAt(2);
    const Query frameAfter = QueryAt(3);
    BeforeNavigate("http://next.example/");
    ASSERT_NE(nullptr, evaluator_.PendingDocument());
    AnswerFully(frameBefore);
    AnswerFully(frameAfter);
    const CEvalDoc* shown = evaluator_.CurrentDocument();
    ASSERT_EQ(1u, shown->Frames().size());
    EXPECT_TRUE(shown->Frames()[0]->IsDone());
    EXPECT_EQ(VERDICT_WARN, shown->Frames()[0]->Verdict().classification);
    EXPECT_EQ(2, evaluator_.PendingDocument()->OutstandingReplies());
}

TEST_F(PageLife, TheClientWindowIsAHiddenTopLevelPopUp) {
    char title[128] = {};
    ::GetWindowTextA(evaluator_.Window(), title, sizeof title);
    EXPECT_STREQ("Client:{A534759F-A612-4cf7-BA15-D022203D2DD1}", title);
    EXPECT_EQ(nullptr, ::GetParent(evaluator_.Window()));
    EXPECT_FALSE(::IsWindowVisible(evaluator_.Window()));
    EXPECT_NE(0, ::GetWindowLongA(evaluator_.Window(), GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(1, evaluator_.SendToServer(nullptr)) << "the counter moves even without a message";
    EXPECT_EQ(VERDICT_UNKNOWN, evaluator_.GetCurrentClassification());
    EXPECT_EQ("", evaluator_.GetCurrentDomain());
}

TEST_F(PageLife, QuitStopsTimerWindowAndDocuments) {
    evaluator_.SetEvaluationTimeout(30);
    BeforeNavigate("http://closing.example/");
    NavigateComplete("http://closing.example/");
    BeforeNavigate("http://closing.example/next");
    const HWND window = evaluator_.Window();
    Bare(EVAL_QUIT);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(nullptr, evaluator_.Window());
    EXPECT_EQ(nullptr, evaluator_.CurrentDocument());
    EXPECT_EQ(nullptr, evaluator_.PendingDocument());
    BeforeNavigate("http://closing.example/late");
    EXPECT_EQ(nullptr, evaluator_.PendingDocument());
    Pump(100);
    EXPECT_EQ(0u, Count("menu.Set(4)"));
    EXPECT_EQ(3, evaluator_.LastRequestId());
}

TEST_F(PageLife, AFinalAddressThatIsNotRateableIsNeitherSentNorRated) {
    BeforeNavigate("http://public.example/");
    NavigateComplete("http://192.168.1.20/admin");
    AnswerFully(QueryAt(0));
    DocumentComplete("http://192.168.1.20/admin");
    Pump(20);
    for (const Query& query : service_.Queries())
        EXPECT_EQ(std::string::npos, query.text.find("192.168")) << query.text;
    EXPECT_EQ(1, evaluator_.LastRequestId());
    EXPECT_EQ((std::vector<std::string>{"menu.ShowOff", "balloon.Hide"}), host_.Log());
    EXPECT_TRUE(evaluator_.CurrentDocument()->IsNotRateable());

    host_.ClearLog();
    BeforeNavigate("about:blank");
    NavigateComplete("about:blank");
    EXPECT_EQ(1, evaluator_.LastRequestId());
    EXPECT_EQ((std::vector<std::string>{"menu.ShowOff", "balloon.Hide"}), host_.Log());
}

}  // namespace

namespace {

using namespace evaluation_testing;

class Alerts : public EvaluationFixture {
protected:
    void SetUp() override {
        EvaluationFixture::SetUp();
        service_.SetSite("paypal-login.example.com", SiteRated("example.com", VERDICT_UNKNOWN, COLOR_GREY));
        service_.SetSite("ebay-verify.example.net", SiteRated("example.net", VERDICT_UNKNOWN, COLOR_GREY));
    }
};

TEST_F(Alerts, PhishingFoundBeforeTheAnswersWaitsForTheVerdict) {
    const std::string url = "http://paypal-login.example.com/";
    BeforeNavigate(url);
    NavigateComplete(url);
    DocumentComplete(url);  // the scripts judge the page before the service answered
    EXPECT_TRUE(evaluator_.CurrentDocument()->PhishingFound());
    EXPECT_FALSE(evaluator_.CurrentDocument()->IsDone()) << "the page must not freeze";
    Pump(20);
    EXPECT_TRUE(host_.Calls("alert").empty());
    AnswerFully(QueryAt(0));
    AnswerFully(QueryAt(1));
    EXPECT_EQ(1u, Count("menu.Set(3)"));
    EXPECT_TRUE(testing_support::PumpUntil([&] { return !host_.Calls("alert").empty(); }, 2000));
    Pump(10);
    EXPECT_EQ(1u, host_.Calls("alert").size());
}

TEST_F(Alerts, TheAlertOpensFromAFreshStackAndNeverInsideAnother) {
    const std::string first = "http://paypal-login.example.com/";
    const std::string second = "http://ebay-verify.example.net/";
    int opened = 0;
    host_.whileAlertOpen = [&] {
        // While the first alert is open the user goes on to another
        // phishing page: the document that found the first one goes away.
        if (++opened > 1)
            return;
        LoadPage(second);
        DocumentComplete(second);
        Pump(30);
        EXPECT_EQ(1u, host_.Calls("alert").size()) << "no alert inside an alert";
    };
    host_.ArmAlert();
    LoadPage(first);
    DocumentComplete(first);
    EXPECT_TRUE(host_.Calls("alert").empty());
    EXPECT_TRUE(testing_support::PumpUntil([&] { return host_.Calls("alert").size() >= 2; }, 2000));
    Pump(10);
    const std::vector<std::string> alerts = host_.Calls("alert");
    ASSERT_EQ(2u, alerts.size());
    EXPECT_NE(std::string::npos, alerts[0].find("paypal"));
    EXPECT_NE(std::string::npos, alerts[1].find("ebay"));
}

TEST_F(Alerts, AnAlertForAPageLeftBeforeItsTurnIsDropped) {
    LoadPage("http://paypal-login.example.com/");
    DocumentComplete("http://paypal-login.example.com/");
    LoadPage("http://plain.example/");
    Pump(30);
    EXPECT_TRUE(host_.Calls("alert").empty());
}

TEST(FormatLocalTime, DatesTheRuntimeCannotConvertAreEmpty) {
    // Noon UTC, so that any time zone gives the same day.
    EXPECT_EQ("05-Mar-2006", FormatLocalTime(1141560000, "%d-%b-%Y"));
    EXPECT_EQ("03/05/2006", FormatLocalTime(1141560000, "%m/%d/%Y"));
    EXPECT_EQ("", FormatLocalTime(-1, "%d-%b-%Y"));
    EXPECT_EQ("", FormatLocalTime(-2000000000LL, "%d-%b-%Y"));
    EXPECT_EQ("", FormatLocalTime(1LL << 50, "%d-%b-%Y"));
}

TEST_F(Alerts, ADomainCreatedBefore1970StillRatesThePage) {
    FakeRatingService::Site site = SiteRated("old.example", VERDICT_OK, COLOR_GREEN);
    site.facts.created = -86400 * 365;
    service_.SetSite("old.example", site);
    LoadPage("http://old.example/");
    EXPECT_EQ(1u, Count("menu.Set(0)"));
}

}  // namespace
