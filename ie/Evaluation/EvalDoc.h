// The evaluation of one browser document: the top-level page or one of its
// frames. It asks the rating service about its address before and after
// navigation, pushes the answers into the page scripts, merges its frames'
// verdicts into the page's, publishes the verdict to the decision matrix,
// asks the scripts whether the page is phishing and owns the evaluators of
// its forms.
//
// Only a top document runs a script engine (loaded at construction); frames
// call the scripts through their top document. A top document publishes
// nothing while it is not yet displayed (the evaluator clears that mark
// when its navigation completes).
#pragma once

#include "ie/Evaluation/MessageTarget.h"
#include "ie/Evaluation/PageFrameInfo.h"
#include "utils/Ownership/WinOwnership.h"

#include <oaidl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CEvalForm;
class CEvalMessage;
class CEvaluator;
class CRPCMsg;
class CScriptHost;

class CEvalDoc : public CMessageTarget {
public:
    // parent null: a top document, which starts its scripts now.
    CEvalDoc(CEvaluator& evaluator, CEvalDoc* parent);
    ~CEvalDoc();
    CEvalDoc(const CEvalDoc&) = delete;
    CEvalDoc& operator=(const CEvalDoc&) = delete;

    void Message(const CEvalMessage* message) override;

    // Answers to the query sent before navigation (they only count down) and
    // to the one sent after it (they fill the verdict and the scripts).
    void BeforeNavMsg(const CRPCMsg* rpc);
    void AfterNavMsg(const CRPCMsg* rpc);
    // Publishes the verdict once every answer is in.
    void CompleteEvaluation();
    // On the top document: a frame finished with this verdict.
    void ReportFrameVerdict(const CPageFrameInfo& frame);
    // Asks the scripts whether the page is phishing; true when it is.
    bool RunPhishDetection();
    // The evaluator of a form element (matched by COM identity), made when
    // `create` is set and none exists.
    CEvalForm* GetFormA(IUnknown* formElement, bool create);
    // Evaluates the form of the focused text field of a document.
    void CheckFormAction(IDispatch* document);

    // Hands a message to the decision matrix unless the page is not on display.
    void Publish(const CEvalMessage& message);
    void MarkDisplayed() { notYetDisplayed_ = false; }
    // Whether an answer with this request number belongs to this document or one of its frames.
    bool OwnsRequest(std::int32_t requestId) const;

    bool IsTop() const { return isTop_; }
    bool IsNotYetDisplayed() const { return notYetDisplayed_; }
    bool IsDone() const { return done_; }
    bool IsDocumentComplete() const { return documentComplete_; }
    bool IsNotRateable() const { return notRateable_; }
    bool PhishingFound() const { return phishingFound_; }
    int OutstandingReplies() const { return outstanding_; }
    const std::string& Url() const { return url_; }
    IDispatch* FrameBrowser() const { return frameBrowser_.Get(); }
    const CPageFrameInfo& Verdict() const { return verdict_; }
    const std::vector<std::unique_ptr<CEvalDoc>>& Frames() const { return frames_; }
    const std::vector<std::unique_ptr<CEvalForm>>& Forms() const { return forms_; }
    // The running page scripts (the top document's), or null.
    CScriptHost* Scripts() const;

private:
    void StartScripts();
    void OnBeforeNavigate(const CEvalMessage& message);
    void OnNavigateComplete(const CEvalMessage& message);
    void OnDocumentComplete(const CEvalMessage& message);
    void OnUserInput(const CEvalMessage& message);
    void OnTimer();
    void OnServerMessage(const CEvalMessage& message);
    void StartRating(const CEvalMessage& message);
    void NotRated();
    void GiveUp();
    void PublishVerdict();
    void PushMetaResults(const CRPCMsg& rpc);
    void PushURLResults(const CRPCMsg& rpc);
    bool Push(const char* name, const std::string& value, IDispatch* browser, bool isTop);
    bool Push(const char* name, int value);
    bool Push(const char* name, const std::string& value);
    void SendPulledDownNotice(const CPageFrameInfo& frame);
    bool IsSpecialSite() const;
    std::string PageDomain() const;
    CEvalDoc* FrameFor(IDispatch* browser) const;
    void EvaluateForms();

    CEvaluator& evaluator_;
    // The page's document: itself for a top document. Frames keep it even
    // when its scripts failed, so that their verdicts still reach the page.
    CEvalDoc* top_;
    const bool isTop_;
    std::unique_ptr<CScriptHost> scripts_;
    bool scriptsRunning_ = false;
    win::ComPtr<IDispatch> frameBrowser_;
    std::string url_;
    bool notRateable_ = false;
    bool notYetDisplayed_ = true;
    bool done_ = false;
    bool documentComplete_ = false;
    CPageFrameInfo verdict_;
    bool phishingFound_ = false;
    int outstanding_ = 0;
    bool beforeQuerySent_ = false;
    bool afterQuerySent_ = false;
    std::int32_t beforeQueryId_ = 0;
    std::int32_t afterQueryId_ = 0;
    std::vector<std::unique_ptr<CEvalDoc>> frames_;
    std::vector<std::unique_ptr<CEvalForm>> forms_;
};

// Formats seconds since 1970 in local time with a strftime pattern; empty
// when the C runtime cannot convert the time (before 1970, out of range).
std::string FormatLocalTime(long long secondsSince1970, const char* pattern);
