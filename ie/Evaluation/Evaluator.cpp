#include "ie/Evaluation/Evaluator.h"

#include "ie/Evaluation/EvalDoc.h"
#include "ie/Evaluation/EvalMessage.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/RPCWindowHandle.h"

CEvaluator::CEvaluator() {
    const bool created = window_.Create(
        kClientWindowTitle, [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
            return OnWindowMessage(message, wParam, lParam, *result);
        });
    if (!created)
        REPORT_ASSERT("CEvaluator::CEvaluator", "Could not create window");
    decisionMatrix_.SetAlertScheduler([this] {
        return window_.Window() && ::PostMessageA(window_.Window(), kShowAlertMessage, 0, 0);
    });
}

CEvaluator::~CEvaluator() {
    Quit();
}

void CEvaluator::Quit() {
    quit_ = true;
    StopTimer();
    window_.Destroy();
    current_.reset();
    pending_.reset();
}

void CEvaluator::SetHost(IEvaluationHost* host) {
    if (!host) {
        REPORT_ASSERT("CEvaluator::SetBHO", "NULL pointer");
        return;
    }
    host_ = host;
    decisionMatrix_.SetHost(host);
}

void CEvaluator::Message(const CEvalMessage* message) {
    try {
        if (!message) {
            REPORT_ASSERT("CEvaluator::Message", "NULL pointer");
            return;
        }
        if (!quit_)
            Route(*message);
    } catch (...) {
        REPORT_ASSERT("CEvaluator::Message", "Exception thrown");
    }
}

void CEvaluator::Route(const CEvalMessage& message) {
    switch (message.type) {
    case EVAL_BEFORE_NAVIGATE:
        if (message.isPage) {
            // A page navigation that replaces one still loading drops that one.
            pending_ = std::make_unique<CEvalDoc>(*this, nullptr);
            pending_->Message(&message);
            return;
        }
        break;
    case EVAL_NAVIGATE_COMPLETE:
        if (message.isPage) {
            OnPageNavigateComplete(message);
            return;
        }
        break;
    case EVAL_DOWNLOAD_BEGIN:
    case EVAL_DOWNLOAD_COMPLETE:
        decisionMatrix_.Message(&message);
        break;
    case EVAL_KEY_TYPED:
    case EVAL_CLICK:
        // The user types into the page on display, never into one still loading.
        if (current_)
            current_->Message(&message);
        return;
    case EVAL_QUIT:
        Quit();
        return;
    default:
        break;
    }
    if (CEvalDoc* document = pending_ ? pending_.get() : current_.get())
        document->Message(&message);
}

void CEvaluator::OnPageNavigateComplete(const CEvalMessage& message) {
    current_ = std::move(pending_);
    if (!current_) {
        // No BEFORE_NAVIGATE came first (a page restored from history):
        // start the page's evaluation as if it had.
        current_ = std::make_unique<CEvalDoc>(*this, nullptr);
        const CEvalMessage before(EVAL_BEFORE_NAVIGATE, message.text, message.disp.Get(), true);
        current_->Message(&before);
    }
    current_->MarkDisplayed();
    current_->Message(&message);
}

int CEvaluator::SendToServer(CRPCMsg* message) {
    const int requestId = static_cast<int>(::InterlockedIncrement(&requestCounter_));
    if (message)
        message->Send(kRPCServiceWindow, ToRPCWindow(window_.Window()), requestId);
    return requestId;
}

void CEvaluator::StartTimer() {
    if (window_.Window())
        ::SetTimer(window_.Window(), kTimerId, timeoutMs_, nullptr);
}

void CEvaluator::StopTimer() {
    if (window_.Window())
        ::KillTimer(window_.Window(), kTimerId);
}

int CEvaluator::GetCurrentClassification() const {
    return current_ ? current_->Verdict().classification : VERDICT_UNKNOWN;
}

std::string CEvaluator::GetCurrentDomain() const {
    return current_ ? current_->Verdict().domain : std::string();
}

bool CEvaluator::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COPYDATA:
        result = OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return true;
    case WM_TIMER:
        if (wParam != kTimerId)
            return false;
        result = OnTimer(wParam);
        return true;
    case kShowAlertMessage:
        try {
            decisionMatrix_.ShowScheduledAlert();
        } catch (...) {
            REPORT_ASSERT("CEvaluator::OnShowAlert", "Exception thrown");
        }
        result = 0;
        return true;
    default:
        return false;
    }
}

BOOL CEvaluator::OnCopyData(HWND sender, const COPYDATASTRUCT* data) {
    try {
        if (!data) {
            REPORT_ASSERT("CEvaluator::OnCopyData", "NULL LPARAM");
            return FALSE;
        }
        std::unique_ptr<CRPCMsg> rpc = CRPCMsg::Receive(ToRPCWindow(sender), data);
        if (!rpc) {
            REPORT_ASSERT("CEvaluator::OnCopyData", "Didn't receive message");
            return FALSE;
        }
        if (!quit_)
            DeliverServerMessage(*rpc);
        return TRUE;
    } catch (...) {
        REPORT_ASSERT("CEvaluator::OnCopyData", "Exception thrown");
        return TRUE;
    }
}

void CEvaluator::DeliverServerMessage(const CRPCMsg& rpc) {
    // The answer goes to the document that asked; an answer for a document
    // already replaced has nobody left to hear it.
    CEvalDoc* owner = nullptr;
    if (pending_ && pending_->OwnsRequest(rpc.RequestId()))
        owner = pending_.get();
    else if (current_ && current_->OwnsRequest(rpc.RequestId()))
        owner = current_.get();
    if (!owner)
        return;
    CEvalMessage message(EVAL_SERVER_MESSAGE);
    message.rpc = &rpc;
    owner->Message(&message);
}

LRESULT CEvaluator::OnTimer(UINT_PTR id) {
    try {
        if (id != kTimerId)
            return 0;
        StopTimer();
        if (current_ && !quit_) {
            const CEvalMessage message(EVAL_TIMER);
            current_->Message(&message);
        }
    } catch (...) {
        REPORT_ASSERT("CEvaluator::OnTimer", "Exception thrown");
    }
    return 0;
}
