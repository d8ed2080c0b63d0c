#include "ie/Evaluation/DecisionMatrix.h"

#include "ie/Evaluation/EvalMessage.h"
#include "ie/Evaluation/IBalloonDisplay.h"
#include "ie/Evaluation/IEvaluationHost.h"
#include "ie/Evaluation/IMenuBarDisplay.h"
#include "ie/Evaluation/ISafetyAlertDisplay.h"
#include "utils/Diagnostics/ReportAssert.h"

void CDecisionMatrix::SetHost(IEvaluationHost* host) {
    if (!host) {
        REPORT_ASSERT("CDecisionMatrix::SetBHO", "NULL pointer");
        return;
    }
    host_ = host;
}

void CDecisionMatrix::Message(const CEvalMessage* message) {
    if (!message) {
        REPORT_ASSERT("CDecisionMatrix::Message", "NULL message");
        return;
    }
    switch (message->type) {
    case EVAL_NEW_PAGE: OnNewPage(); break;
    case EVAL_VERDICT: OnVerdict(*message); break;
    case EVAL_PHISHING: OnPhishing(*message); break;
    case EVAL_NOT_RATED: OnNotRated(); break;
    case EVAL_EMAIL_FORM: OnFormInUse(FACET_PERSONALINFO); break;
    case EVAL_COMMERCE_FORM: OnFormInUse(FACET_COMMERCE); break;
    default: break;
    }
}

void CDecisionMatrix::OnNewPage() {
    ++page_;
    noRating_ = false;
    haveVerdict_ = false;
    alertHandled_ = false;
    findingHeld_ = false;
    alertScheduled_ = false;
    verdict_.Reset();
    if (!host_)
        return;
    if (IBalloonDisplay* balloon = host_->GetBalloon())
        balloon->Hide();
    if (IMenuBarDisplay* menuBar = host_->GetMenuBar())
        menuBar->ShowWaiting();
}

void CDecisionMatrix::OnVerdict(const CEvalMessage& message) {
    if (noRating_)
        return;
    haveVerdict_ = true;
    verdict_.Set(&message.info);
    if (host_) {
        if (IMenuBarDisplay* menuBar = host_->GetMenuBar())
            menuBar->Set(verdict_.color);
        if (IBalloonDisplay* balloon = host_->GetBalloon()) {
            balloon->Set(verdict_.color, verdict_.classification, verdict_.text, verdict_.domain);
            if (verdict_.classification == VERDICT_WARN)
                balloon->Show(IBalloonDisplay::kShowForVerdict);
        }
    }
    // A finding that came first waited for this verdict.
    if (findingHeld_ && !alertHandled_)
        DecideOnAlert();
}

void CDecisionMatrix::OnPhishing(const CEvalMessage& message) {
    if (noRating_ || alertHandled_)
        return;
    findingHeld_ = true;
    findingCategory_ = message.category;
    findingReason_ = message.reason;
    // Without the verdict nobody knows yet whether the service knows the
    // site: keep the finding, the verdict decides.
    if (haveVerdict_)
        DecideOnAlert();
}

void CDecisionMatrix::DecideOnAlert() {
    if (IsDoNotWarn(verdict_.domain))
        return;  // not handled: the user's choice may change while on the page
    findingHeld_ = false;
    // Handled before it is shown, so that a second finding of the same page
    // cannot open another alert while this one waits or is open.
    alertHandled_ = true;
    if (verdict_.classification != VERDICT_UNKNOWN)
        return;
    alertScheduled_ = true;
    alertCategory_ = findingCategory_;
    alertReason_ = findingReason_;
    alertPage_ = page_;
    if (!scheduler_ || !scheduler_()) {
        alertScheduled_ = false;
        REPORT_ASSERT("CDecisionMatrix::Message", "Couldn't schedule the safety alert");
    }
}

void CDecisionMatrix::ShowScheduledAlert() {
    // While one alert is open its modal loop runs this window's messages: a
    // later page's alert waits until it closes instead of opening inside it.
    if (!alertScheduled_ || alertOpen_)
        return;
    alertScheduled_ = false;
    if (alertPage_ != page_ || noRating_ || !host_ || !host_->IsEnabled())
        return;
    ISafetyAlertDisplay* alert = host_->GetSafetyAlert();
    if (!alert)
        return;
    // Copies: the modal loop may bring the next page and its finding.
    const std::int32_t category = alertCategory_;
    const std::string reason = alertReason_;
    alertOpen_ = true;
    try {
        alert->ShowModal(category, reason, host_->GetAlertOwner());
    } catch (...) {
        alertOpen_ = false;
        throw;
    }
    alertOpen_ = false;
    if (alertScheduled_ && !(scheduler_ && scheduler_()))
        alertScheduled_ = false;
}

void CDecisionMatrix::OnNotRated() {
    ++page_;  // an alert of the page before must not show on this one
    noRating_ = true;
    haveVerdict_ = false;
    alertScheduled_ = false;
    findingHeld_ = false;
    if (!host_)
        return;
    if (IMenuBarDisplay* menuBar = host_->GetMenuBar())
        menuBar->ShowOff();
    // A balloon about the page before would otherwise stay up over this one.
    if (IBalloonDisplay* balloon = host_->GetBalloon())
        balloon->Hide();
}

void CDecisionMatrix::OnFormInUse(VerdictFacet facet) {
    if (noRating_ || !host_)
        return;
    const bool doNotWarn = IsDoNotWarn(verdict_.domain);
    IBalloonDisplay* balloon = host_->GetBalloon();
    if (!balloon)
        return;
    balloon->Set(verdict_.color, verdict_.facets[facet].code, verdict_.facets[facet].text,
                 verdict_.domain);
    if (verdict_.classification == VERDICT_WARN && !doNotWarn)
        balloon->Show(IBalloonDisplay::kShowForForm);
}

void CDecisionMatrix::Refresh() {
    if (!host_)
        return;
    if (IMenuBarDisplay* menuBar = host_->GetMenuBar()) {
        if (haveVerdict_)
            menuBar->Set(verdict_.color);
        else
            menuBar->ShowOff();
    }
    if (haveVerdict_) {
        if (IBalloonDisplay* balloon = host_->GetBalloon())
            balloon->Set(verdict_.color, verdict_.classification, verdict_.text, verdict_.domain);
    }
}

bool CDecisionMatrix::IsDoNotWarn(const std::string& domain) const {
    return host_ && host_->IsOnDoNotWarnList(domain);
}
