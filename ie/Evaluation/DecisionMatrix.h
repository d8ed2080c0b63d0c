// Decides what the user sees for the page on display: turns the outcome
// messages of page evaluation (new page, verdict, phishing suspicion, no
// rating, form in use) into calls on the menu bar, the balloon and the
// real-time safety alert, and holds the page's verdict so that a toolbar
// created later can be brought up to date (Refresh).
//
// The display objects are fetched from the host at every message and never
// kept. The alert is never shown from inside a message: the decision matrix
// asks its scheduler for a fresh stack (the evaluator posts to its window)
// and ShowScheduledAlert shows it there if the same page is still on display.
#pragma once

#include "ie/Evaluation/MessageTarget.h"
#include "ie/Evaluation/PageFrameInfo.h"

#include <cstdint>
#include <functional>
#include <string>

class IEvaluationHost;
class CEvalMessage;

class CDecisionMatrix : public CMessageTarget {
public:
    // Asks for ShowScheduledAlert to be called later from a fresh stack;
    // false when that cannot be arranged.
    using AlertScheduler = std::function<bool()>;

    CDecisionMatrix() = default;
    CDecisionMatrix(const CDecisionMatrix&) = delete;
    CDecisionMatrix& operator=(const CDecisionMatrix&) = delete;

    void SetHost(IEvaluationHost* host);
    void SetAlertScheduler(AlertScheduler scheduler) { scheduler_ = std::move(scheduler); }

    void Message(const CEvalMessage* message) override;
    // Shows the held state again (a menu bar that was just created).
    void Refresh();
    // Shows the alert scheduled for the page still on display, if any.
    void ShowScheduledAlert();

    bool HaveVerdict() const { return haveVerdict_; }
    bool IsNotRated() const { return noRating_; }
    bool AlertHandled() const { return alertHandled_; }
    const CPageFrameInfo& Verdict() const { return verdict_; }

private:
    void OnNewPage();
    void OnVerdict(const CEvalMessage& message);
    void OnPhishing(const CEvalMessage& message);
    void OnNotRated();
    void OnFormInUse(VerdictFacet facet);
    void DecideOnAlert();
    bool IsDoNotWarn(const std::string& domain) const;

    IEvaluationHost* host_ = nullptr;
    AlertScheduler scheduler_;
    bool noRating_ = false;
    bool haveVerdict_ = false;
    bool alertHandled_ = false;
    CPageFrameInfo verdict_;

    // A phishing finding that came before the page's verdict: kept until the
    // verdict tells whether the service knows the site.
    bool findingHeld_ = false;
    std::int32_t findingCategory_ = 0;
    std::string findingReason_;

    // The alert waiting for its fresh stack, and the page it belongs to.
    bool alertScheduled_ = false;
    std::int32_t alertCategory_ = 0;
    std::string alertReason_;
    std::uint32_t alertPage_ = 0;
    bool alertOpen_ = false;
    // Counts pages: an alert scheduled for one page is dropped on the next.
    std::uint32_t page_ = 0;
};
