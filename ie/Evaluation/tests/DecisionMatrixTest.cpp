// What the user sees for each sequence of evaluation outcomes: one table of
// message sequences and the display calls they must cause.
#include "ie/Evaluation/DecisionMatrix.h"
#include "ie/Evaluation/EvalMessage.h"
#include "ie/Evaluation/tests/RecordingHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using evaluation_testing::RecordingHost;

// One step of a sequence: a message, or an action on the surroundings.
enum Step {
    kNewPage,
    kVerdictOk,       // OK, green, "good.example"
    kVerdictWarn,     // WARN, red, "bad.example"
    kVerdictUnknown,  // UNKNOWN, grey, "new.example"
    kVerdictCertified,
    kPhishing,
    kNotRated,
    kEmailForm,
    kCommerceForm,
    kRefresh,
    kRunPosted,       // the evaluator's window gets to the posted alert
    kDropMenuBar,     // the user closes the toolbar
    kRestoreMenuBar,
    kDisable,
};

CPageFrameInfo Verdict(int classification, int colour, const std::string& domain) {
    CPageFrameInfo info;
    info.classification = classification;
    info.color = colour;
    info.domain = domain;
    info.text = "overall";
    info.facets[FACET_COMMERCE] = {VERDICT_WARN, "shop"};
    info.facets[FACET_PERSONALINFO] = {VERDICT_INFO, "mail"};
    return info;
}

struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> expected;
    std::set<std::string> doNotWarn = {};
};

void PrintTo(const Case& test, std::ostream* out) { *out << test.name; }

class DecisionMatrixTable : public ::testing::TestWithParam<Case> {};

TEST_P(DecisionMatrixTable, ShowsWhatTheSequenceCallsFor) {
    const Case& test = GetParam();
    RecordingHost host;
    host.doNotWarn = test.doNotWarn;
    CDecisionMatrix matrix;
    matrix.SetHost(&host);
    int posted = 0;
    matrix.SetAlertScheduler([&] {
        ++posted;
        return true;
    });
    for (Step step : test.steps) {
        CEvalMessage message(EVAL_NEW_PAGE);
        switch (step) {
        case kNewPage: break;
        case kVerdictOk:
            message = CEvalMessage(EVAL_VERDICT);
            message.info = Verdict(VERDICT_OK, COLOR_GREEN, "good.example");
            break;
        case kVerdictWarn:
            message = CEvalMessage(EVAL_VERDICT);
            message.info = Verdict(VERDICT_WARN, COLOR_RED, "bad.example");
            break;
        case kVerdictUnknown:
            message = CEvalMessage(EVAL_VERDICT);
            message.info = Verdict(VERDICT_UNKNOWN, COLOR_GREY, "new.example");
            break;
        case kVerdictCertified:
            message = CEvalMessage(EVAL_VERDICT);
            message.info = Verdict(VERDICT_CERTIFIED, COLOR_GREEN, "safe.example");
            break;
        case kPhishing:
            message = CEvalMessage(EVAL_PHISHING);
            message.category = 1;
            message.reason = "why";
            break;
        case kNotRated: message = CEvalMessage(EVAL_NOT_RATED); break;
        case kEmailForm: message = CEvalMessage(EVAL_EMAIL_FORM); break;
        case kCommerceForm: message = CEvalMessage(EVAL_COMMERCE_FORM); break;
        case kRefresh: matrix.Refresh(); continue;
        case kRunPosted: matrix.ShowScheduledAlert(); continue;
        case kDropMenuBar: host.haveMenuBar = false; continue;
        case kRestoreMenuBar: host.haveMenuBar = true; continue;
        case kDisable: host.enabled = false; continue;
        }
        matrix.Message(&message);
    }
    EXPECT_EQ(test.expected, host.Log()) << test.name;
}

const char kOk[] = "balloon.Set(0,1,overall,good.example)";
const char kWarn[] = "balloon.Set(2,4,overall,bad.example)";
const char kUnknown[] = "balloon.Set(3,3,overall,new.example)";
const char kCertified[] = "balloon.Set(0,0,overall,safe.example)";

INSTANTIATE_TEST_SUITE_P(Sequences, DecisionMatrixTable, ::testing::Values(
    Case{"new page clears the display", {kNewPage}, {"balloon.Hide", "menu.ShowWaiting"}},
    Case{"an OK verdict shows without popping up", {kNewPage, kVerdictOk},
         {"balloon.Hide", "menu.ShowWaiting", "menu.Set(0)", kOk}},
    Case{"a WARN verdict pops the balloon up", {kVerdictWarn}, {"menu.Set(2)", kWarn, "balloon.Show(0)"}},
    Case{"no rating hides the balloon and ignores later verdicts", {kVerdictWarn, kNotRated, kVerdictOk,
         kEmailForm, kPhishing, kRunPosted, kRefresh},
         {"menu.Set(2)", kWarn, "balloon.Show(0)", "menu.ShowOff", "balloon.Hide", "menu.ShowOff"}},
    Case{"phishing on an unknown site: alert from the posted message only",
         {kVerdictUnknown, kPhishing}, {"menu.Set(3)", kUnknown}},
    Case{"phishing on an unknown site, posted message shows the alert once",
         {kVerdictUnknown, kPhishing, kPhishing, kRunPosted, kRunPosted},
         {"menu.Set(3)", kUnknown, "alert(1,why)"}},
    Case{"phishing on a certified site: no alert, and none later on the same page",
         {kVerdictCertified, kPhishing, kVerdictUnknown, kPhishing, kRunPosted},
         {"menu.Set(0)", kCertified, "menu.Set(3)", kUnknown}},
    Case{"phishing on a do-not-warn site leaves the alert unhandled",
         {kVerdictUnknown, kPhishing, kRunPosted}, {"menu.Set(3)", kUnknown}, {"new.example"}},
    Case{"phishing before the verdict waits for it",
         {kNewPage, kPhishing, kRunPosted, kVerdictUnknown, kRunPosted},
         {"balloon.Hide", "menu.ShowWaiting", "menu.Set(3)", kUnknown, "alert(1,why)"}},
    Case{"phishing before a known site's verdict shows nothing",
         {kNewPage, kPhishing, kVerdictOk, kRunPosted},
         {"balloon.Hide", "menu.ShowWaiting", "menu.Set(0)", kOk}},
    Case{"the next page drops an alert still waiting for its message",
         {kVerdictUnknown, kPhishing, kNewPage, kRunPosted},
         {"menu.Set(3)", kUnknown, "balloon.Hide", "menu.ShowWaiting"}},
    Case{"a switched-off add-on shows no waiting alert",
         {kVerdictUnknown, kPhishing, kDisable, kRunPosted}, {"menu.Set(3)", kUnknown}},
    Case{"forms on a WARN site pop up the facet every time",
         {kVerdictWarn, kEmailForm, kCommerceForm, kCommerceForm},
         {"menu.Set(2)", kWarn, "balloon.Show(0)", "balloon.Set(2,2,mail,bad.example)", "balloon.Show(1)",
          "balloon.Set(2,4,shop,bad.example)", "balloon.Show(1)", "balloon.Set(2,4,shop,bad.example)",
          "balloon.Show(1)"}},
    Case{"forms on a do-not-warn WARN site only set the balloon", {kVerdictWarn, kEmailForm},
         {"menu.Set(2)", kWarn, "balloon.Show(0)", "balloon.Set(2,2,mail,bad.example)"}, {"bad.example"}},
    Case{"forms on an OK site set without showing", {kVerdictOk, kCommerceForm},
         {"menu.Set(0)", kOk, "balloon.Set(0,4,shop,good.example)"}},
    Case{"a closed toolbar is skipped, a reopened one is used at the next message",
         {kDropMenuBar, kVerdictOk, kRestoreMenuBar, kVerdictWarn},
         {kOk, "menu.Set(2)", kWarn, "balloon.Show(0)"}},
    Case{"refresh before a verdict shows off", {kNewPage, kRefresh},
         {"balloon.Hide", "menu.ShowWaiting", "menu.ShowOff"}},
    Case{"refresh after a verdict shows it again", {kVerdictOk, kDropMenuBar, kNewPage, kVerdictWarn,
         kRestoreMenuBar, kRefresh},
         {"menu.Set(0)", kOk, "balloon.Hide", kWarn, "balloon.Show(0)", "menu.Set(2)", kWarn}}),
    [](const ::testing::TestParamInfo<Case>& info) { return "Case" + std::to_string(info.index); });

TEST(DecisionMatrix, NullMessageAndHostAreHarmless) {
    CDecisionMatrix matrix;
    matrix.Message(nullptr);
    CEvalMessage verdict(EVAL_VERDICT);
    verdict.info = Verdict(VERDICT_WARN, COLOR_RED, "bad.example");
    matrix.Message(&verdict);  // no host yet: nothing to show on, but the verdict is held
    EXPECT_TRUE(matrix.HaveVerdict());
    matrix.SetHost(nullptr);
    RecordingHost host;
    matrix.SetHost(&host);
    matrix.Refresh();
    EXPECT_EQ((std::vector<std::string>{"menu.Set(2)", kWarn}), host.Log());
}

}  // namespace
