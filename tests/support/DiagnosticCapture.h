// Plays the external diagnostic tool: a top-level window titled "Quillon
// diagnostic tool", on a thread of its own, that keeps every WM_COPYDATA
// payload it receives. Tests use it to see which failures were reported.
#pragma once

#include "tests/support/CopyDataWindow.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

class DiagnosticCapture {
public:
    // Throws std::runtime_error when its window cannot be created.
    DiagnosticCapture();
    ~DiagnosticCapture();
    DiagnosticCapture(const DiagnosticCapture&) = delete;
    DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;

    bool IsListening() const { return window_.Window() != nullptr; }

    // Every payload as received: level, line, terminating zero.
    std::vector<std::vector<std::uint8_t>> Payloads() const;
    // The lines of the payloads.
    std::vector<std::string> Lines() const;
    // Whether some line ends with ": *** Assert: <message>" under method.
    bool Reported(const std::string& method, const std::string& message) const;
    void Clear();

private:
    LRESULT Keep(const COPYDATASTRUCT& copyData);

    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> payloads_;
    CopyDataWindow window_;  // last: it starts receiving as soon as it exists
};

}  // namespace testing_support
