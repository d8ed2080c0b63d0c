// Natively a failure report is a line on standard error; these capture the
// lines of one block of code so that tests can ask what was reported.
#pragma once

#include <gtest/gtest.h>

#include <string>

class NativeReports {
public:
    NativeReports() { testing::internal::CaptureStderr(); }
    ~NativeReports() { Text(); }

    // Whether a report of `message` under `method` was made.
    bool Reported(const std::string& method, const std::string& message) {
        const std::string& text = Text();
        std::size_t at = 0;
        const std::string head = "::" + method + ",";
        const std::string tail = ": *** Assert: " + message + "\n";
        while ((at = text.find(head, at)) != std::string::npos) {
            const std::size_t end = text.find('\n', at);
            const std::string line = text.substr(at, end == std::string::npos ? end : end - at + 1);
            if (line.size() >= tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
                return true;
            at += head.size();
        }
        return false;
    }
    bool Nothing() { return Text().empty(); }

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
