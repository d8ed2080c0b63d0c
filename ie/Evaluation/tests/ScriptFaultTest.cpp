// Page evaluation when the page scripts misbehave or are missing: the page
// must still be rated. Built twice, each program in a folder of its own so
// that "%INSTALL_DIR%Scripts" holds failing scripts or none at all.
#include "ie/Evaluation/tests/EvaluationFixture.h"
#include "tests/support/DiagnosticCapture.h"

namespace {

using namespace evaluation_testing;
using testing_support::DiagnosticCapture;

class ScriptFaults : public EvaluationFixture {
protected:
    bool Reported(const char* method, const char* message) {
        return testing_support::PumpUntil([&] { return reports_.Reported(method, message); }, 2000);
    }
    DiagnosticCapture reports_;
};

#ifndef QUILLON_NO_SCRIPTS

TEST_F(ScriptFaults, FailedPushesStillSendTheQueriesArmTheTimerAndRateThePage) {
    evaluator_.SetEvaluationTimeout(50);
    BeforeNavigate("http://unknown.example/");
    NavigateComplete("http://unknown.example/");
    EXPECT_TRUE(Reported("SendScriptData", "Failed calling SendData script"));
    EXPECT_TRUE(service_.WaitForQueries(2));
    EXPECT_EQ(1u, Count("menu.ShowWaiting")) << "the new page is announced";
    ASSERT_TRUE(testing_support::PumpUntil([&] { return Count("menu.Set(4)") == 1; }, 2000))
        << "the timer runs";

    host_.ClearLog();
    BeforeNavigate("http://unknown.example/2");
    NavigateComplete("http://unknown.example/2");
    AnswerFully(QueryAt(2));
    AnswerFully(QueryAt(3));
    EXPECT_TRUE(Reported("CEvalDoc::AfterNavMsg", "Script call failed"));
    EXPECT_EQ(1u, Count("menu.Set(3)"));

    // A category given as a numeric text counts; no reasoning gives the default text.
    DocumentComplete("http://unknown.example/2");
    EXPECT_TRUE(testing_support::PumpUntil([&] { return !host_.Calls("alert").empty(); }, 2000));
    Pump(10);
    EXPECT_EQ(std::vector<std::string>{"alert(2,This site may be attempting a phishing attack)"},
              host_.Calls("alert"));
}

#else

TEST_F(ScriptFaults, WithoutScriptsPagesAndFramesAreStillRated) {
    service_.SetSite("www.hotmail.com", SiteRated("hotmail.com", VERDICT_OK, COLOR_GREEN));
    service_.SetSite("ads.frame.example", SiteRated("frame.example", VERDICT_WARN, COLOR_RED));
    auto frame = testing_support::FakeWebBrowser::Create();
    IDispatch* frameBrowser = static_cast<IWebBrowser2*>(frame.Get());
    BeforeNavigate("http://www.hotmail.com/");
    EXPECT_TRUE(Reported("CEvalDoc::CEvalDoc", "Call to OnLoad script failed"));
    NavigateComplete("http://www.hotmail.com/");
    AnswerFully(QueryAt(0));
    AnswerFully(QueryAt(1));
    DocumentComplete("http://www.hotmail.com/");
    EXPECT_EQ(1u, Count("menu.Set(0)"));
    EXPECT_FALSE(evaluator_.CurrentDocument()->PhishingFound());

    // The frame still reports to its page, which takes the worse record.
    Event(EVAL_BEFORE_NAVIGATE, "http://ads.frame.example/", frameBrowser, false);
    Event(EVAL_NAVIGATE_COMPLETE, "http://ads.frame.example/", frameBrowser, false);
    AnswerFully(QueryAt(2));
    AnswerFully(QueryAt(3));
    EXPECT_EQ("menu.Set(2)", host_.Calls("menu.Set(").back());
    EXPECT_EQ(VERDICT_WARN, evaluator_.GetCurrentClassification());
}

#endif

}  // namespace
