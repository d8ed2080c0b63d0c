// What one page of a session holds, served to the add-on the way the
// browser serves a page: the page's document (IHTMLDocument2 with the focus
// and the focused element), one browser object per frame with the frame's
// document, and the page's forms, which the page scripts read field by field.
// Built from the page's step of the session; lives while the page is on
// display.
#pragma once

#include "tests/support/FakeDispatch.h"
#include "tests/support/FakeHtml.h"
#include "tools/BrowserHost/SessionScript.h"

#include <string>
#include <vector>

class CPageContent {
public:
    struct Frame {
        std::string url;
        win::ComPtr<testing_support::FakeWebBrowser> browser;
        win::ComPtr<testing_support::FakeHtmlDocument> document;
    };

    // An empty page (one the browser went to on the add-on's request).
    explicit CPageContent(const std::string& url);
    explicit CPageContent(const SessionStep& page);

    const std::string& Url() const { return url_; }
    IDispatch* Document() const { return static_cast<IHTMLDocument2*>(document_.Get()); }
    const std::vector<Frame>& Frames() const { return frames_; }
    const std::vector<SessionForm>& Forms() const { return forms_; }

    // Puts the keyboard focus into a form field, as a click into it does:
    // the document has the focus and the field is its active element.
    // False when the page has no such field.
    bool Focus(const std::string& field);
    // Text typed into the focused field (shown on the page).
    void Type(const std::string& text) { typed_ += text; }
    const std::string& FocusedField() const { return focused_; }
    const std::string& Typed() const { return typed_; }

private:
    void BuildForms();

    std::string url_;
    std::vector<SessionForm> forms_;
    win::ComPtr<testing_support::FakeHtmlDocument> document_;
    std::vector<Frame> frames_;
    // Per form: the element the add-on asks about, over the view the scripts read.
    std::vector<win::ComPtr<testing_support::FakeHtmlForm>> formElements_;
    win::ComPtr<testing_support::FakeHtmlInput> focusedInput_;
    std::string focused_;
    std::string typed_;
};
