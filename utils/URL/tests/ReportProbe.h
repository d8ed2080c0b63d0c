// Watches the failure reports made while it lives: on Windows through the
// diagnostic tool window, natively on standard error.
#pragma once

#include <memory>
#include <string>

class ReportProbe {
public:
    ReportProbe();
    ~ReportProbe();
    ReportProbe(const ReportProbe&) = delete;
    ReportProbe& operator=(const ReportProbe&) = delete;

    // Whether method reported message.
    bool Reported(const std::string& method, const std::string& message);
    // Whether nothing at all was reported.
    bool Silent();

private:
    struct State;
    std::unique_ptr<State> state_;
};
