// Forms in use: typing into a field of an e-mail or payment form on a WARN
// site brings the balloon up for that part of the rating, once per form.
#include "ie/Evaluation/EvalForm.h"
#include "ie/Evaluation/tests/EvaluationFixture.h"
#include "tests/support/DiagnosticCapture.h"

namespace {

using namespace evaluation_testing;
using testing_support::FakeDispatch;
using testing_support::FakeHtmlDocument;
using testing_support::FakeHtmlForm;
using testing_support::FakeHtmlInput;

// A form as the scripts read it: "elements" with the fields' type and name.
win::ComPtr<FakeHtmlForm> MakeForm(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> fields) {
    std::vector<win::ComPtr<FakeDispatch>> inputs;
    for (const auto& field : fields) {
        win::ComPtr<FakeDispatch> input = FakeDispatch::Create();
        input->SetString(L"tagName", L"INPUT");
        input->SetString(L"type", field.first);
        input->SetString(L"name", field.second);
        input->SetString(L"id", L"");
        inputs.push_back(input);
    }
    win::ComPtr<FakeDispatch> view = FakeDispatch::Create();
    view->SetObject(L"elements", testing_support::MakeCollection(inputs).Get());
    return FakeHtmlForm::Create(view);
}

class Forms : public EvaluationFixture {
protected:
    void SetUp() override {
        EvaluationFixture::SetUp();
        browser_->SetDocument(static_cast<IHTMLDocument2*>(document_.Get()));
        document_->SetFocus(true);
        service_.SetSite("www.bad.example", SiteRated("bad.example", VERDICT_WARN, COLOR_RED));
    }
    void Focus(FakeHtmlForm* form, bool textField = true) {
        focused_ = FakeHtmlInput::Create(textField, form);
        document_->SetActiveElement(static_cast<IHTMLElement*>(focused_.Get()));
    }

    win::ComPtr<FakeHtmlDocument> document_ = FakeHtmlDocument::Create();
    win::ComPtr<FakeHtmlInput> focused_;
    win::ComPtr<FakeHtmlForm> mailForm_ = MakeForm({{L"text", L"email"}, {L"submit", L"go"}});
    win::ComPtr<FakeHtmlForm> payForm_ = MakeForm({{L"text", L"cardnumber"}, {L"text", L"cvv"}});
    win::ComPtr<FakeHtmlForm> searchForm_ = MakeForm({{L"text", L"q"}});
};

TEST_F(Forms, FormsInUseOnAWarnSiteBringTheBalloonUpOnce) {
    const std::string url = "http://www.bad.example/join";
    BeforeNavigate(url);
    NavigateComplete(url);
    // Typing before the verdict makes the form known but reports nothing.
    Focus(mailForm_.Get());
    Bare(EVAL_KEY_TYPED);
    ASSERT_EQ(1u, evaluator_.CurrentDocument()->Forms().size());
    EXPECT_FALSE(evaluator_.CurrentDocument()->Forms()[0]->IsEvaluated());
    AnswerFully(QueryAt(0));
    AnswerFully(QueryAt(1));
    // The verdict, then the form waiting for it.
    EXPECT_EQ((std::vector<std::string>{"balloon.Hide", "menu.ShowWaiting", "menu.Set(2)",
                                        "balloon.Set(2,4,bad.example verdict,bad.example)", "balloon.Show(0)",
                                        "balloon.Set(2,4,bad.example facet,bad.example)", "balloon.Show(1)"}),
              host_.Log());
    host_.ClearLog();
    Bare(EVAL_KEY_TYPED);
    Bare(EVAL_CLICK);
    EXPECT_TRUE(host_.Log().empty()) << "a form is reported once";
    EXPECT_EQ(1u, evaluator_.CurrentDocument()->Forms().size());

    Focus(searchForm_.Get());
    Bare(EVAL_KEY_TYPED);
    EXPECT_TRUE(host_.Log().empty()) << "a search box is not interesting";
    Focus(payForm_.Get());
    Bare(EVAL_CLICK);
    EXPECT_EQ((std::vector<std::string>{"balloon.Set(2,4,bad.example facet,bad.example)", "balloon.Show(1)"}),
              host_.Log());
    EXPECT_EQ(CEvalForm::kCommerce, evaluator_.CurrentDocument()->Forms()[2]->Class());
    EXPECT_EQ(3u, evaluator_.CurrentDocument()->Forms().size());
}

TEST_F(Forms, OnlyAFocusedTextFieldInAFormCounts) {
    testing_support::DiagnosticCapture reports;
    LoadPage("http://www.bad.example/");
    host_.ClearLog();
    Focus(nullptr);  // a text field outside any form
    Bare(EVAL_KEY_TYPED);
    EXPECT_TRUE(evaluator_.CurrentDocument()->Forms().empty());
    EXPECT_TRUE(testing_support::PumpUntil(
        [&] { return reports.Reported("CEvalDoc::CheckFormAction", "Input text element has no form"); }));
    Focus(mailForm_.Get(), false);  // a button of the form
    Bare(EVAL_CLICK);
    Focus(mailForm_.Get());
    document_->SetFocus(false);  // the page does not have the keyboard
    Bare(EVAL_KEY_TYPED);
    EXPECT_TRUE(evaluator_.CurrentDocument()->Forms().empty());
    EXPECT_TRUE(host_.Log().empty());
}

TEST_F(Forms, KeysGoToThePageOnDisplayNotToTheOneLoading) {
    LoadPage("http://www.bad.example/");
    BeforeNavigate("http://next.example/");
    host_.ClearLog();
    Focus(mailForm_.Get());
    Bare(EVAL_KEY_TYPED);
    EXPECT_EQ(1u, evaluator_.CurrentDocument()->Forms().size());
    EXPECT_TRUE(evaluator_.PendingDocument()->Forms().empty());
    EXPECT_EQ(1u, Count("balloon.Show(1)"));
}

TEST_F(Forms, TheSameFormIsFoundByIdentityNotByPointer) {
    LoadPage("http://www.bad.example/");
    CEvalDoc& document = *evaluator_.CurrentDocument();
    CEvalForm* form = document.GetFormA(static_cast<IHTMLFormElement*>(mailForm_.Get()), true);
    ASSERT_NE(nullptr, form);
    win::ComPtr<IUnknown> identity;
    mailForm_->QueryInterface(IID_IUnknown, identity.ReleaseAndGetVoidAddressOf());
    EXPECT_EQ(form, document.GetFormA(identity.Get(), false));
    EXPECT_EQ(nullptr, document.GetFormA(static_cast<IHTMLFormElement*>(payForm_.Get()), false));
    EXPECT_EQ(1u, document.Forms().size());
}

}  // namespace
