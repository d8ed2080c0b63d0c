// One browser window's page evaluation under test: a real evaluator with its
// client window and page scripts, the stand-in rating service, a recording
// host, and browser objects for the page and its frames.
#pragma once

#include "ie/Evaluation/EvalDoc.h"
#include "ie/Evaluation/EvalMessage.h"
#include "ie/Evaluation/Evaluator.h"
#include "ie/Evaluation/tests/RecordingHost.h"
#include "tests/support/FakeDispatch.h"
#include "tests/support/FakeHtml.h"
#include "tests/support/FakeRatingService.h"
#include "utils/Options/Options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace evaluation_testing {

using testing_support::FakeRatingService;
using Answer = FakeRatingService::Answer;
using Query = FakeRatingService::Query;

class EvaluationFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(service_.Window() != nullptr);
        ASSERT_TRUE(evaluator_.Window() != nullptr);
        evaluator_.SetHost(&host_);
        SetOption(OptionScope::MachineWide, "PIP", "false");
    }
    void TearDown() override { SetOption(OptionScope::MachineWide, "PIP", "false"); }

    // Browser events of the page (browser_) or of a frame.
    void Event(std::int32_t type, const std::string& url, IDispatch* browser, bool isPage) {
        const CEvalMessage message(type, url, browser, isPage);
        evaluator_.Message(&message);
    }
    void BeforeNavigate(const std::string& url) { Event(EVAL_BEFORE_NAVIGATE, url, Page(), true); }
    void NavigateComplete(const std::string& url) { Event(EVAL_NAVIGATE_COMPLETE, url, Page(), true); }
    void DocumentComplete(const std::string& url) { Event(EVAL_DOCUMENT_COMPLETE, url, Page(), true); }
    void Bare(std::int32_t type) {
        const CEvalMessage message(type);
        evaluator_.Message(&message);
    }
    IDispatch* Page() const { return static_cast<IWebBrowser2*>(browser_.Get()); }

    // The index-th query this evaluator sent (its request number is index + 1),
    // once it has arrived: each query travels on a thread of its own, so
    // they may arrive in any order, and a query of an earlier test may still
    // be on its way (it names another reply window).
    Query QueryAt(std::size_t index) {
        const std::int32_t requestId = static_cast<std::int32_t>(index) + 1;
        Query found;
        const bool arrived = testing_support::PumpUntil([&] {
            for (const Query& query : service_.Queries()) {
                if (query.requestId == requestId && query.replyWindow == evaluator_.Window()) {
                    found = query;
                    return true;
                }
            }
            return false;
        });
        EXPECT_TRUE(arrived) << "query " << index << " never came";
        return found;
    }
    void AnswerFully(const Query& query) {
        service_.Deliver(query, Answer::kMeta);
        service_.Deliver(query, Answer::kURL);
    }
    // A page from before-navigate to both queries answered.
    void LoadPage(const std::string& url) {
        const std::size_t first = static_cast<std::size_t>(evaluator_.LastRequestId());
        BeforeNavigate(url);
        NavigateComplete(url);
        AnswerFully(QueryAt(first));
        AnswerFully(QueryAt(first + 1));
    }
    // Lets posted messages (the alert) and timers run.
    void Pump(DWORD milliseconds) {
        testing_support::PumpUntil([] { return false; }, milliseconds);
    }
    std::size_t Count(const std::string& entry) const {
        return static_cast<std::size_t>(std::count(host_.Log().begin(), host_.Log().end(), entry));
    }

    static FakeRatingService::Site SiteRated(const std::string& name, int code, int colour) {
        FakeRatingService::Site site;
        site.verdict.name = name;
        site.verdict.code = code;
        site.verdict.color = colour;
        site.verdict.description = name + " verdict";
        site.verdict.facetCodes[FACET_PERSONALINFO] = code;
        site.verdict.facetCodes[FACET_COMMERCE] = code;
        site.verdict.facetText = name + " facet";
        site.facts.baseDomain = name;
        return site;
    }

    FakeRatingService service_;
    RecordingHost host_;
    CEvaluator evaluator_;
    win::ComPtr<testing_support::FakeWebBrowser> browser_ = testing_support::FakeWebBrowser::Create();
};

}  // namespace evaluation_testing
