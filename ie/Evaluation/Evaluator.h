// The page evaluation hub of one browser window. Every browser event reaches
// it from the browser helper as an evaluation message; it keeps the
// evaluation document of the page being loaded (pending) and of the page on
// display (current), routes messages to them, numbers their service queries,
// receives the service's answers on its hidden client window, runs the
// evaluation timer (53) and owns the decision matrix.
//
// Lives on the browser window's thread; only the request counter is touched
// atomically. EVAL_QUIT stops everything: the timer, the window and both
// documents; later messages are ignored.
#pragma once

#include "ie/Evaluation/DecisionMatrix.h"
#include "ie/Evaluation/MessageTarget.h"
#include "utils/Window/UMessageWindow.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

class CEvalDoc;
class CEvalMessage;
class CRPCMsg;
class IEvaluationHost;

class CEvaluator : public CMessageTarget {
public:
    static constexpr UINT_PTR kTimerId = 53;
    // How long a page may wait for its verdict before it gets the failure verdict.
    static constexpr UINT kEvaluationTimeoutMs = 10000;
    // Posted to the client window to show the real-time alert from a fresh stack.
    static constexpr UINT kShowAlertMessage = WM_APP + 53;
    // The title of the hidden window the rating service answers.
    static constexpr char kClientWindowTitle[] = "Client:{A534759F-A612-4cf7-BA15-D022203D2DD1}";

    // Creates the client window; without it (reported) no answer or timer
    // arrives, and the browser still works.
    CEvaluator();
    ~CEvaluator();
    CEvaluator(const CEvaluator&) = delete;
    CEvaluator& operator=(const CEvaluator&) = delete;

    // Binds the browser helper (through what evaluation needs of it).
    void SetHost(IEvaluationHost* host);
    IEvaluationHost* Host() const { return host_; }

    // Routes one browser event.
    void Message(const CEvalMessage* message) override;

    // Sends a query to the rating service, answered to the client window;
    // returns its request number (the counter also moves for a null message).
    int SendToServer(CRPCMsg* message);
    // The request number handed out last (0 before the first).
    int LastRequestId() const { return static_cast<int>(requestCounter_); }
    void StartTimer();
    void StopTimer();

    // The page on display: its classification (UNKNOWN without one) and domain.
    int GetCurrentClassification() const;
    std::string GetCurrentDomain() const;

    CDecisionMatrix& GetDecisionMatrix() { return decisionMatrix_; }
    // Brings a menu bar created after the verdict up to date.
    void Refresh() { decisionMatrix_.Refresh(); }

    HWND Window() const { return window_.Window(); }
    // Tests shorten the evaluation timeout.
    void SetEvaluationTimeout(UINT milliseconds) { timeoutMs_ = milliseconds; }
    UINT EvaluationTimeout() const { return timeoutMs_; }

    CEvalDoc* PendingDocument() const { return pending_.get(); }
    CEvalDoc* CurrentDocument() const { return current_.get(); }

    // Window handlers.
    BOOL OnCopyData(HWND sender, const COPYDATASTRUCT* data);
    LRESULT OnTimer(UINT_PTR id);

private:
    bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Route(const CEvalMessage& message);
    void OnPageNavigateComplete(const CEvalMessage& message);
    void DeliverServerMessage(const CRPCMsg& rpc);
    void Quit();

    UMessageWindow window_{"CEvaluator::WindowProcedure"};
    IEvaluationHost* host_ = nullptr;
    CDecisionMatrix decisionMatrix_;
    std::unique_ptr<CEvalDoc> pending_;
    std::unique_ptr<CEvalDoc> current_;
    volatile LONG requestCounter_ = 0;
    UINT timeoutMs_ = kEvaluationTimeoutMs;
    bool quit_ = false;
};
