#include "ie/Evaluation/EvalForm.h"

#include "ie/Evaluation/EvalDoc.h"
#include "ie/Evaluation/EvalMessage.h"
#include "utils/Com/ScopedVariant.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Script/CScriptHost.h"

CEvalForm::CEvalForm(std::unique_ptr<CHTMLForm> form, CEvalDoc& document, CScriptHost* scripts)
    : form_(std::move(form)), document_(document), scripts_(scripts) {
    if (!form_)
        REPORT_ASSERT("CEvalForm::CEvalForm", "NULL pointer");
}

bool CEvalForm::IsInterestingForm() {
    if (!scripts_ || !form_ || !form_->Element())
        return interesting_;
    const win::ScopedVariant argument(static_cast<IDispatch*>(form_->Element()));
    win::ScopedVariant result;
    if (!scripts_->CallScriptFcn("IsInterestingForm", result.Receive(), 1, &argument.Get())) {
        REPORT_ASSERT("CEvalForm::IsInterestingForm", "Call to IsInterestingForm script failed");
        return false;
    }
    // The scripts must answer with a number; anything else counts as 0
    // rather than whatever bits the variant happens to hold.
    class_ = result.Type() == VT_I4 ? static_cast<std::int32_t>(result.Get().lVal) : std::int32_t{kUninteresting};
    if (class_ != kUninteresting)
        interesting_ = true;
    return interesting_;
}

void CEvalForm::EvaluateForm() {
    if (evaluated_ || !document_.IsDone())
        return;
    if (!IsInterestingForm())
        return;
    evaluated_ = true;
    CEvalMessage message(class_ == kEmail ? EVAL_EMAIL_FORM : EVAL_COMMERCE_FORM);
    message.form = this;
    document_.Publish(message);
    document_.RunPhishDetection();
}
