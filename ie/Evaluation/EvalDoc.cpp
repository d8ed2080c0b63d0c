#include "ie/Evaluation/EvalDoc.h"

#include "ie/Evaluation/EvalForm.h"
#include "ie/Evaluation/EvalMessage.h"
#include "ie/Evaluation/Evaluator.h"
#include "utils/Com/ScopedVariant.h"
#include "utils/Crypto/ScriptKey.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Environment/PathMacros.h"
#include "utils/File/PathTests.h"
#include "utils/HTMLHelpers/HTMLDocumentHelpers.h"
#include "utils/Options/Options.h"
#include "utils/Script/CScriptHost.h"
#include "utils/Script/ScriptCalls.h"
#include "utils/Text/AnsiWide.h"
#include "utils/URL/AddressRules.h"
#include "utils/URL/UURL.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"
#include "utils/iRPC/CServerNotify.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"

#include <windows.h>

#include <cstdio>
#include <ctime>

namespace {

constexpr char kDefaultPhishingReason[] = "This site may be attempting a phishing attack";

// Notices to the service are part of the improvement program only.
bool NoticesWanted() {
    return GetOption(OptionScope::MachineWide, "PIP") == "true";
}

void SendNotice(const std::string& text) {
    CServerNotify notice(text);
    notice.Send(kRPCServiceWindow, 0, 0);
}

std::string UserCountry() {
    char country[16] = {};
    if (!::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, country, sizeof country))
        return std::string();
    return country;
}

}  // namespace

std::string FormatLocalTime(long long secondsSince1970, const char* pattern) {
    if (secondsSince1970 < 0)
        return std::string();
    const __time64_t time = secondsSince1970;
    struct tm local = {};
    if (_localtime64_s(&local, &time) != 0)
        return std::string();
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, pattern, &local);
    return std::string(text, length);
}

CEvalDoc::CEvalDoc(CEvaluator& evaluator, CEvalDoc* parent)
    : evaluator_(evaluator), top_(parent ? parent : this), isTop_(parent == nullptr) {
    if (isTop_)
        StartScripts();
}

CEvalDoc::~CEvalDoc() {
    forms_.clear();
    frames_.clear();
    if (scripts_)
        scripts_->CloseScripting();
}

CScriptHost* CEvalDoc::Scripts() const {
    return top_->scriptsRunning_ ? top_->scripts_.get() : nullptr;
}

void CEvalDoc::StartScripts() {
    scripts_ = std::make_unique<CScriptHost>();
    if (!scripts_->InitScripting()) {
        REPORT_ASSERT("CEvalDoc::CEvalDoc", "Couldn't init scripting");
        return;
    }
    std::string enciphered = "%INSTALL_DIR%Scripts\\all.mrg";
    NormalizePath(enciphered);
    if (IsPlainFile(enciphered)) {
        CCryptoChain chain = MakeScriptCryptoChain();
        scripts_->AddScriptFile(enciphered, &chain);
    }
    std::string plain = "%INSTALL_DIR%Scripts\\all.js";
    NormalizePath(plain);
    if (IsPlainFile(plain))
        scripts_->AddScriptFile(plain);
    if (!scripts_->RunScript()) {
        REPORT_ASSERT("CEvalDoc::CEvalDoc", "Couldn't start scripts");
        return;
    }
    if (!CallScriptVoid(*scripts_, "OnLoad")) {
        REPORT_ASSERT("CEvalDoc::CEvalDoc", "Call to OnLoad script failed");
        return;
    }
    if (!CallScriptVoid(*scripts_, "Reset")) {
        REPORT_ASSERT("CEvalDoc::CEvalDoc", "Call to Reset script failed");
        return;
    }
    const std::string today = FormatLocalTime(static_cast<long long>(std::time(nullptr)), "%m/%d/%Y");
    if (!SendScriptData(*scripts_, nullptr, false, "current_date", today.c_str())) {
        REPORT_ASSERT("CEvalDoc::CEvalDoc", "Call to current_date script failed");
        return;
    }
    if (!SendScriptData(*scripts_, nullptr, false, "user_country", UserCountry().c_str()))
        return;
    scriptsRunning_ = true;
}

void CEvalDoc::Message(const CEvalMessage* message) {
    try {
        if (!message) {
            REPORT_ASSERT("CEvalDoc::Message", "NULL pointer");
            return;
        }
        switch (message->type) {
        case EVAL_BEFORE_NAVIGATE: OnBeforeNavigate(*message); break;
        case EVAL_NAVIGATE_COMPLETE: OnNavigateComplete(*message); break;
        case EVAL_DOCUMENT_COMPLETE: OnDocumentComplete(*message); break;
        case EVAL_KEY_TYPED:
        case EVAL_CLICK: OnUserInput(*message); break;
        case EVAL_TIMER: OnTimer(); break;
        case EVAL_SERVER_MESSAGE: OnServerMessage(*message); break;
        default: break;
        }
    } catch (...) {
        REPORT_ASSERT("CEvalDoc::Message", "Exception thrown");
    }
}

void CEvalDoc::OnBeforeNavigate(const CEvalMessage& message) {
    if (!frameBrowser_) {
        frameBrowser_ = message.disp;
        url_ = message.text;
        if (IsRateableURL(url_)) {
            // The scripts learn the address; a failed push is reported by the
            // push itself and must not keep the page from being rated.
            Push("URL", url_, frameBrowser_.Get(), isTop_);
            outstanding_ += 2;
            CServerURLQuery query(url_);
            beforeQueryId_ = evaluator_.SendToServer(&query);
            beforeQuerySent_ = true;
        }
    }
    if (!isTop_ || message.isPage)
        return;
    // A frame navigating: a frame that navigates again starts afresh in place
    // of its earlier document.
    auto frame = std::make_unique<CEvalDoc>(evaluator_, this);
    CEvalDoc* child = frame.get();
    bool replaced = false;
    for (std::unique_ptr<CEvalDoc>& existing : frames_) {
        if (existing->frameBrowser_.Get() == message.disp.Get()) {
            existing = std::move(frame);
            replaced = true;
            break;
        }
    }
    if (!replaced)
        frames_.push_back(std::move(frame));
    child->Message(&message);
}

void CEvalDoc::OnNavigateComplete(const CEvalMessage& message) {
    if (message.disp.Get() != frameBrowser_.Get()) {
        if (notRateable_)
            return;
        if (CEvalDoc* frame = FrameFor(message.disp.Get()))
            frame->Message(&message);
        return;
    }
    // Where the navigation ended is tested too: a public page that redirects
    // to a private address must not send that address anywhere.
    if (!IsRateableURL(url_) || !IsRateableURL(message.text)) {
        NotRated();
        return;
    }
    StartRating(message);
}

void CEvalDoc::StartRating(const CEvalMessage& message) {
    url_ = message.text;
    Push("URL_final", url_, message.disp.Get(), message.isPage);
    outstanding_ += 2;
    CServerURLQuery query(url_);
    afterQueryId_ = evaluator_.SendToServer(&query);
    afterQuerySent_ = true;
    evaluator_.StartTimer();
    if (isTop_)
        Publish(CEvalMessage(EVAL_NEW_PAGE));
}

void CEvalDoc::NotRated() {
    notRateable_ = true;
    if (!isTop_)
        return;
    if (!notYetDisplayed_)
        evaluator_.StopTimer();
    Publish(CEvalMessage(EVAL_NOT_RATED));
}

void CEvalDoc::OnDocumentComplete(const CEvalMessage& message) {
    if (notRateable_)
        return;
    if (message.disp.Get() != frameBrowser_.Get()) {
        if (CEvalDoc* frame = FrameFor(message.disp.Get()))
            frame->Message(&message);
        return;
    }
    documentComplete_ = true;
    CompleteEvaluation();
    RunPhishDetection();
}

void CEvalDoc::OnUserInput(const CEvalMessage& message) {
    const win::ComPtr<IDispatch> document = GetBrowserDocument(frameBrowser_.Get());
    if (document && DocumentHasFocus(document.Get()))
        CheckFormAction(document.Get());
    for (std::size_t i = 0; i < frames_.size(); ++i)
        frames_[i]->Message(&message);
}

void CEvalDoc::OnTimer() {
    if (done_ || notYetDisplayed_ || notRateable_)
        return;
    GiveUp();
}

void CEvalDoc::OnServerMessage(const CEvalMessage& message) {
    if (notRateable_)
        return;
    if (!message.rpc) {
        REPORT_ASSERT("CEvalDoc::Message", "NULL RPC message");
        return;
    }
    const std::int32_t id = message.rpc->RequestId();
    if (beforeQuerySent_ && id == beforeQueryId_) {
        BeforeNavMsg(message.rpc);
        return;
    }
    if (afterQuerySent_ && id == afterQueryId_) {
        AfterNavMsg(message.rpc);
        return;
    }
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        if (frames_[i]->OwnsRequest(id)) {
            frames_[i]->Message(&message);
            return;
        }
    }
}

bool CEvalDoc::OwnsRequest(std::int32_t requestId) const {
    if ((beforeQuerySent_ && requestId == beforeQueryId_) || (afterQuerySent_ && requestId == afterQueryId_))
        return true;
    for (const std::unique_ptr<CEvalDoc>& frame : frames_) {
        if (frame->OwnsRequest(requestId))
            return true;
    }
    return false;
}

void CEvalDoc::BeforeNavMsg(const CRPCMsg* rpc) {
    try {
        if (!rpc) {
            REPORT_ASSERT("CEvalDoc::BeforeNavMsg", "NULL pointer");
            return;
        }
        switch (rpc->Type()) {
        case RPC_CLIENT_META_RESULTS:
        case RPC_CLIENT_URL_RESULTS:
            outstanding_ -= 1;
            break;
        case RPC_CLIENT_CONNECTION_FAIL:
            // Only counts down: the query after navigation, or the timer,
            // gives the failure verdict if the service is still away.
            outstanding_ -= 2;
            break;
        default:
            return;
        }
        // The last answer to arrive may be one of these.
        if (outstanding_ == 0)
            CompleteEvaluation();
    } catch (...) {
        REPORT_ASSERT("CEvalDoc::BeforeNavMsg", "Exception thrown");
    }
}

void CEvalDoc::AfterNavMsg(const CRPCMsg* rpc) {
    try {
        if (!rpc) {
            REPORT_ASSERT("CEvalDoc::AfterNavMsg", "NULL pointer");
            return;
        }
        switch (rpc->Type()) {
        case RPC_CLIENT_META_RESULTS:
            outstanding_ -= 1;
            verdict_.Set(static_cast<const CClientMetaResults*>(rpc));
            PushMetaResults(*rpc);
            break;
        case RPC_CLIENT_URL_RESULTS:
            outstanding_ -= 1;
            verdict_.Set(static_cast<const CClientURLResults*>(rpc));
            PushURLResults(*rpc);
            break;
        case RPC_CLIENT_CONNECTION_FAIL:
            outstanding_ -= 2;
            if (!done_)
                GiveUp();
            return;
        default:
            return;
        }
        if (outstanding_ == 0)
            CompleteEvaluation();
    } catch (...) {
        REPORT_ASSERT("CEvalDoc::AfterNavMsg", "Exception thrown");
    }
}

void CEvalDoc::GiveUp() {
    done_ = true;
    verdict_.SetFailure();
    if (isTop_) {
        evaluator_.StopTimer();
        PublishVerdict();
    } else {
        // A frame's failure is the frame's: it must not replace the page's verdict.
        top_->ReportFrameVerdict(verdict_);
    }
}

void CEvalDoc::PushMetaResults(const CRPCMsg& rpc) {
    const auto& meta = static_cast<const CClientMetaResults&>(rpc);
    const std::int32_t created = meta.CreationDate();
    // 0 means the service does not know; dates the runtime cannot convert
    // are pushed as empty texts too.
    const std::string date = created > 0 ? FormatLocalTime(created, "%d-%b-%Y") : std::string();
    const bool pushed = Push("dss_whois_date", date) && Push("dss_whois_country", meta.RegistrantCountry()) &&
                        Push("dss_whois_state", meta.RegistrantState()) &&
                        Push("dss_whois_city", meta.RegistrantCity()) &&
                        Push("dss_popularity", meta.Popularity()) && Push("dss_ip_address", meta.Address()) &&
                        Push("dss_ip_country", meta.AddressCountry()) &&
                        Push("dss_dynamic_ip", std::string(meta.DynamicAddress() ? "true" : "false")) &&
                        Push("dss_user_content", std::string(meta.UserContent() ? "true" : "false")) &&
                        Push("whois_created", meta.RegistrationCreated()) &&
                        Push("whois_expires", meta.RegistrationExpires());
    if (!pushed && Scripts())
        REPORT_ASSERT("CEvalDoc::AfterNavMsg", "Script call failed");
}

void CEvalDoc::PushURLResults(const CRPCMsg& rpc) {
    const auto& results = static_cast<const CClientURLResults&>(rpc);
    const bool pushed = Push("domain_specifier", results.Name()) && Push("dss_code", results.Code()) &&
                        Push("dss_color", results.Color()) &&
                        Push("dss_commerce_code", results.FacetCode(FACET_COMMERCE)) &&
                        Push("dss_downloads_code", results.FacetCode(FACET_DOWNLOADS)) &&
                        Push("dss_personalinfo_code", results.FacetCode(FACET_PERSONALINFO));
    if (!pushed && Scripts())
        REPORT_ASSERT("CEvalDoc::AfterNavMsg", "Script call failed");
}

bool CEvalDoc::Push(const char* name, const std::string& value, IDispatch* browser, bool isTop) {
    // Without running scripts there is nobody to tell: fail quietly.
    CScriptHost* scripts = Scripts();
    return scripts && SendScriptData(*scripts, browser, isTop, name, value.c_str());
}

bool CEvalDoc::Push(const char* name, const std::string& value) {
    return Push(name, value, frameBrowser_.Get(), isTop_);
}

bool CEvalDoc::Push(const char* name, int value) {
    CScriptHost* scripts = Scripts();
    return scripts && SendScriptData(*scripts, frameBrowser_.Get(), isTop_, name, value);
}

void CEvalDoc::CompleteEvaluation() {
    // Before the query after navigation went out there is nothing to
    // complete, whatever order the first answers came in.
    if ((isTop_ && verdict_.classification == CPageFrameInfo::CLASSIFICATION_NONE) || done_ ||
        outstanding_ != 0 || !afterQuerySent_)
        return;
    if (isTop_) {
        const bool special = IsSpecialSite();
        for (const std::unique_ptr<CEvalDoc>& frame : frames_) {
            if (!frame->done_ || !verdict_.IsOtherWorse(&frame->verdict_, true))
                continue;
            SendPulledDownNotice(frame->verdict_);
            if (special)
                verdict_.Set(&frame->verdict_);
        }
        done_ = true;
        PublishVerdict();
        evaluator_.StopTimer();
    } else {
        done_ = true;
        top_->ReportFrameVerdict(verdict_);
    }
    EvaluateForms();
}

void CEvalDoc::ReportFrameVerdict(const CPageFrameInfo& frame) {
    if (!done_)
        return;
    const bool special = IsSpecialSite();
    if (verdict_.IsOtherWorse(&frame, special)) {
        SendPulledDownNotice(frame);
        if (special)
            verdict_.Set(&frame);
    }
    if (documentComplete_ && verdict_.classification != CPageFrameInfo::CLASSIFICATION_NONE)
        PublishVerdict();
}

void CEvalDoc::PublishVerdict() {
    CEvalMessage message(EVAL_VERDICT);
    message.info = verdict_;
    Publish(message);
}

void CEvalDoc::Publish(const CEvalMessage& message) {
    if (top_->notYetDisplayed_)
        return;
    evaluator_.GetDecisionMatrix().Message(&message);
}

bool CEvalDoc::IsSpecialSite() const {
    const std::string domain = UURL(top_->url_).GetDomain();
    return domain == "hotmail.com" || domain == "about.com";
}

void CEvalDoc::SendPulledDownNotice(const CPageFrameInfo& frame) {
    if (!NoticesWanted())
        return;
    SendNotice("type=pulledDown&name=" + top_->verdict_.domain + "&by=" + frame.domain);
}

std::string CEvalDoc::PageDomain() const {
    if (!top_->verdict_.domain.empty())
        return top_->verdict_.domain;
    // Found before the service answered: name the site by its address.
    return UURL(top_->url_).GetDomain();
}

bool CEvalDoc::RunPhishDetection() {
    if (notRateable_ || !IsRateableURL(url_))
        return false;
    if (phishingFound_)
        return true;
    CScriptHost* scripts = Scripts();
    if (!scripts)
        return false;
    win::ScopedVariant result;
    if (!scripts->CallScriptFcn("GetCategory", result.Receive(), 0, nullptr)) {
        REPORT_ASSERT("CEvalDoc::RunPhishDetection", "Call to GetCategory script failed");
        return false;
    }
    VARIANT category;
    ::VariantInit(&category);
    if (FAILED(::VariantChangeType(&category, const_cast<VARIANT*>(&result.Get()), 0, VT_I4))) {
        REPORT_ASSERT("CEvalDoc::RunPhishDetection", "GetCategory didn't return an integer");
        return false;
    }
    if (category.lVal == 0)
        return false;
    // Found, but not done: the page's verdict still comes, and the decision
    // matrix waits for it before it decides on the alert.
    phishingFound_ = true;
    if (NoticesWanted())
        SendNotice("type=phishing&name=" + PageDomain());
    std::string reason;
    win::ScopedVariant reasoning;
    if (scripts->CallScriptFcn("GetReasoning", reasoning.Receive(), 0, nullptr)) {
        VARIANT text;
        ::VariantInit(&text);
        if (SUCCEEDED(::VariantChangeType(&text, const_cast<VARIANT*>(&reasoning.Get()), 0, VT_BSTR))) {
            if (text.bstrVal)
                reason = WideToAnsi(text.bstrVal, static_cast<int>(::SysStringLen(text.bstrVal)));
            ::VariantClear(&text);
        }
    }
    if (reason.empty())
        reason = kDefaultPhishingReason;
    CEvalMessage message(EVAL_PHISHING);
    message.category = category.lVal;
    message.reason = reason;
    Publish(message);
    return true;
}

CEvalForm* CEvalDoc::GetFormA(IUnknown* formElement, bool create) {
    for (const std::unique_ptr<CEvalForm>& form : forms_) {
        if (!form || !form->Form()) {
            REPORT_ASSERT("CEvalDoc::GetFormA", "NULL form in array");
            continue;
        }
        if (form->Form()->IsSameElement(formElement))
            return form.get();
    }
    if (!create)
        return nullptr;
    forms_.push_back(std::make_unique<CEvalForm>(std::make_unique<CHTMLForm>(formElement), *this, Scripts()));
    return forms_.back().get();
}

void CEvalDoc::CheckFormAction(IDispatch* document) {
    win::ComPtr<IHTMLFormElement> form;
    switch (GetActiveTextInputForm(document, form)) {
    case ActiveElementKind::kTextWithoutForm:
        REPORT_ASSERT("CEvalDoc::CheckFormAction", "Input text element has no form");
        return;
    case ActiveElementKind::kTextInForm:
        if (CEvalForm* evaluator = GetFormA(form.Get(), true))
            evaluator->EvaluateForm();
        return;
    case ActiveElementKind::kNone:
        return;
    }
}

CEvalDoc* CEvalDoc::FrameFor(IDispatch* browser) const {
    for (const std::unique_ptr<CEvalDoc>& frame : frames_) {
        if (frame->frameBrowser_.Get() == browser)
            return frame.get();
    }
    return nullptr;
}

void CEvalDoc::EvaluateForms() {
    // Evaluating may call the scripts, which add nothing to this list; index
    // anyway so that growth could never invalidate the walk.
    for (std::size_t i = 0; i < forms_.size(); ++i)
        forms_[i]->EvaluateForm();
}
