// Shows the real-time safety alert for the decision matrix of a browser
// window. The alert's modal loop runs the thread's messages, browser events
// included: the browser may quit and let go of the helper meanwhile. The
// helper is kept alive across the loop and let go only after the message
// that opened the alert has been handled, since the callers up the stack
// (the decision matrix, the evaluator's window) live inside the helper.
#pragma once

#include "ie/Evaluation/ISafetyAlertDisplay.h"

class IBalloonHost;

class CSafetyAlert final : public ISafetyAlertDisplay {
public:
    explicit CSafetyAlert(IBalloonHost& host) : host_(host) {}

    // ISafetyAlertDisplay
    void ShowModal(int category, const std::string& reason, HWND owner) override;

    // Whether an alert is open now.
    bool Open() const { return open_; }

private:
    IBalloonHost& host_;
    bool open_ = false;
};
