#include "ReportProbe.h"

#ifdef _WIN32
#include "tests/support/DiagnosticCapture.h"

struct ReportProbe::State {
    testing_support::DiagnosticCapture tool;
};

ReportProbe::ReportProbe() : state_(new State) {}
ReportProbe::~ReportProbe() = default;

bool ReportProbe::Reported(const std::string& method, const std::string& message) {
    return state_->tool.Reported(method, message);
}

bool ReportProbe::Silent() { return state_->tool.Lines().empty(); }

#else
#include <gtest/gtest.h>

#include <sstream>

// Standard error can be captured only once, so the first question ends the
// capture and keeps the text.
struct ReportProbe::State {
    bool capturing = true;
    std::string text;

    const std::string& Text() {
        if (capturing) {
            text = testing::internal::GetCapturedStderr();
            capturing = false;
        }
        return text;
    }
};

ReportProbe::ReportProbe() : state_(new State) { testing::internal::CaptureStderr(); }

ReportProbe::~ReportProbe() { state_->Text(); }

bool ReportProbe::Reported(const std::string& method, const std::string& message) {
    std::istringstream lines(state_->Text());
    const std::string where = "::" + method + ",";
    const std::string what = ": *** Assert: " + message;
    for (std::string line; std::getline(lines, line);) {
        const bool endsWithWhat = line.size() >= what.size() &&
                                  line.compare(line.size() - what.size(), what.size(), what) == 0;
        if (endsWithWhat && line.find(where) != std::string::npos)
            return true;
    }
    return false;
}

bool ReportProbe::Silent() { return state_->Text().empty(); }
#endif
