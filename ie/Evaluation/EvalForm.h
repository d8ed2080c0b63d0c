// The evaluation of one HTML form of a document: asks the page scripts
// whether the form asks for an e-mail address or payment data, and once it
// does (and the document's verdict is out), tells the decision matrix and
// has the document check for phishing. Owned by its document.
#pragma once

#include "utils/HTMLHelpers/CHTMLForm.h"

#include <cstdint>
#include <memory>

class CEvalDoc;
class CScriptHost;

class CEvalForm {
public:
    enum FormClass : std::int32_t {
        kUninteresting = 0,
        kEmail = 1,
        kCommerce = 2,  // and every other non-zero class
    };

    // The script host is the top document's engine; it may be null when the
    // page's scripts did not start (the form then never becomes interesting).
    CEvalForm(std::unique_ptr<CHTMLForm> form, CEvalDoc& document, CScriptHost* scripts);
    CEvalForm(const CEvalForm&) = delete;
    CEvalForm& operator=(const CEvalForm&) = delete;

    // Asks the scripts again; once interesting, always interesting.
    bool IsInterestingForm();
    // Classifies the form and reports it, at most once.
    void EvaluateForm();

    const CHTMLForm* Form() const { return form_.get(); }
    bool IsEvaluated() const { return evaluated_; }
    std::int32_t Class() const { return class_; }

private:
    bool evaluated_ = false;
    std::unique_ptr<CHTMLForm> form_;
    CEvalDoc& document_;
    bool interesting_ = false;
    std::int32_t class_ = kUninteresting;
    CScriptHost* scripts_;
};
