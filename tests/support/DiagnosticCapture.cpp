#include "tests/support/DiagnosticCapture.h"

#include <stdexcept>

namespace testing_support {

DiagnosticCapture::DiagnosticCapture()
    : window_("Quillon diagnostic tool",
              [this](WPARAM, const COPYDATASTRUCT& copyData) { return Keep(copyData); }) {
    // A check that nothing was reported proves nothing when nobody listened:
    // without its window the capture refuses to exist, and the test fails.
    if (!IsListening())
        throw std::runtime_error("the diagnostic tool window could not be created");
}

DiagnosticCapture::~DiagnosticCapture() = default;

LRESULT DiagnosticCapture::Keep(const COPYDATASTRUCT& copyData) {
    const auto* bytes = static_cast<const std::uint8_t*>(copyData.lpData);
    std::lock_guard<std::mutex> lock(mutex_);
    payloads_.emplace_back(bytes, bytes + copyData.cbData);
    return TRUE;
}

std::vector<std::vector<std::uint8_t>> DiagnosticCapture::Payloads() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return payloads_;
}

std::vector<std::string> DiagnosticCapture::Lines() const {
    std::vector<std::string> lines;
    for (const auto& payload : Payloads()) {
        if (payload.size() > 4)
            lines.emplace_back(reinterpret_cast<const char*>(payload.data() + 4));
    }
    return lines;
}

bool DiagnosticCapture::Reported(const std::string& method, const std::string& message) const {
    const std::string ending = "::" + method + ",";
    const std::string text = ": *** Assert: " + message;
    for (const std::string& line : Lines()) {
        if (line.find(ending) != std::string::npos && line.size() >= text.size() &&
            line.compare(line.size() - text.size(), text.size(), text) == 0) {
            return true;
        }
    }
    return false;
}

void DiagnosticCapture::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    payloads_.clear();
}

}  // namespace testing_support
