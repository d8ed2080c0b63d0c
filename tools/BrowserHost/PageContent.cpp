#include "tools/BrowserHost/PageContent.h"

#include "utils/Text/AnsiWide.h"

using testing_support::FakeDispatch;
using testing_support::FakeHtmlDocument;
using testing_support::FakeHtmlForm;
using testing_support::FakeHtmlInput;
using testing_support::FakeWebBrowser;

CPageContent::CPageContent(const std::string& url) : url_(url), document_(FakeHtmlDocument::Create()) {}

CPageContent::CPageContent(const SessionStep& page)
    : url_(page.url), forms_(page.forms), document_(FakeHtmlDocument::Create()) {
    for (const std::string& url : page.frames) {
        Frame frame{url, FakeWebBrowser::Create(), FakeHtmlDocument::Create()};
        frame.browser->SetDocument(static_cast<IHTMLDocument2*>(frame.document.Get()));
        frames_.push_back(frame);
    }
    BuildForms();
}

void CPageContent::BuildForms() {
    // Each field as the scripts see an input element: its tag, type, name and id.
    for (const SessionForm& form : forms_) {
        std::vector<win::ComPtr<FakeDispatch>> inputs;
        for (const SessionField& field : form.fields) {
            win::ComPtr<FakeDispatch> input = FakeDispatch::Create();
            input->SetString(L"tagName", L"INPUT");
            input->SetString(L"type", AnsiToWide(field.type));
            input->SetString(L"name", AnsiToWide(field.name));
            input->SetString(L"id", AnsiToWide(field.name));
            inputs.push_back(input);
        }
        win::ComPtr<FakeDispatch> view = FakeDispatch::Create();
        view->SetObject(L"elements", testing_support::MakeCollection(inputs).Get());
        formElements_.push_back(FakeHtmlForm::Create(view));
    }
}

bool CPageContent::Focus(const std::string& field) {
    for (std::size_t i = 0; i < forms_.size(); ++i) {
        for (const SessionField& candidate : forms_[i].fields) {
            if (candidate.name != field)
                continue;
            focusedInput_ = FakeHtmlInput::Create(true, formElements_[i].Get());
            document_->SetActiveElement(static_cast<IHTMLElement*>(focusedInput_.Get()));
            document_->SetFocus(true);
            focused_ = field;
            typed_.clear();
            return true;
        }
    }
    return false;
}
