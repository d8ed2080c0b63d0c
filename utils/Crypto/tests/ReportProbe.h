// What failure reports a block of code made. On Windows reports go to the
// diagnostic tool, which the probe plays; natively they are lines on
// standard error, which it captures.
#pragma once

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include "tests/support/DiagnosticCapture.h"

class ReportProbe {
public:
    bool Reported(const std::string& method, const std::string& message) const {
        return tool_.Reported(method, message);
    }

private:
    testing_support::DiagnosticCapture tool_;
};

#else

class ReportProbe {
public:
    ReportProbe() { testing::internal::CaptureStderr(); }
    ~ReportProbe() { Text(); }
    ReportProbe(const ReportProbe&) = delete;
    ReportProbe& operator=(const ReportProbe&) = delete;

    // Whether some line ends with ": *** Assert: <message>" under method.
    bool Reported(const std::string& method, const std::string& message) {
        const std::string& text = Text();
        const std::string head = "::" + method + ",";
        const std::string tail = ": *** Assert: " + message;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = text.substr(start, end - start);
            if (line.find(head) != std::string::npos && line.size() >= tail.size() &&
                line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
                return true;
            start = end + 1;
        }
        return false;
    }

private:
    const std::string& Text() {
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
