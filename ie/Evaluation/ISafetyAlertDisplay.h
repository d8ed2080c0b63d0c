// The real-time safety alert: a modal dialog naming the scripts' suspicion.
// The decision matrix never runs it from inside document processing; the
// evaluator shows it from a fresh message of its own window.
#pragma once

#include <windows.h>

#include <string>

class ISafetyAlertDisplay {
public:
    // Runs the alert modally over `owner` and returns when the user closes it.
    // category: 1 phishing, any other non-zero value fraud.
    virtual void ShowModal(int category, const std::string& reason, HWND owner) = 0;

protected:
    ~ISafetyAlertDisplay() = default;
};
