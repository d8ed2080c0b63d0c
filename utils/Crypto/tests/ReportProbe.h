// What failure reports a block of code made. On Windows reports go to the
// diagnostic tool, which the probe plays; natively they are lines on
// standard error, which it captures.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#ifdef _WIN32
#include "tests/support/DiagnosticCapture.h"

class ReportProbe {
public:
    bool Reported(const std::string& method, const std::string& message) {
        return tool_.Reported(method, message);
    }

private:
    testing_support::DiagnosticCapture tool_;
};

#else

class ReportProbe {
public:
    ReportProbe() { testing::internal::CaptureStderr(); }
    ~ReportProbe() { Captured(); }
    ReportProbe(const ReportProbe&) = delete;
    ReportProbe& operator=(const ReportProbe&) = delete;

    // Whether some line names the method and ends with ": *** Assert: <message>".
    bool Reported(const std::string& method, const std::string& message) {
        const std::string tail = ": *** Assert: " + message;
        std::istringstream lines(Captured());
        for (std::string line; std::getline(lines, line);) {
            if (line.find("::" + method + ",") != std::string::npos && line.size() >= tail.size() &&
                line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
                return true;
        }
        return false;
    }

private:
    const std::string& Captured() {
        if (!done_) {
            text_ = testing::internal::GetCapturedStderr();
            done_ = true;
        }
        return text_;
    }

    std::string text_;
    bool done_ = false;
};

#endif
