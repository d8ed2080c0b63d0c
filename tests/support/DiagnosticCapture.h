// Plays the external diagnostic tool: a top-level window titled "Quillon
// diagnostic tool", on a thread of its own, that keeps every WM_COPYDATA
// payload it receives. Tests use it to see which failures were reported.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class DiagnosticCapture {
public:
    DiagnosticCapture();
    ~DiagnosticCapture();
    DiagnosticCapture(const DiagnosticCapture&) = delete;
    DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;

    bool IsListening() const { return window_ != nullptr; }

    // Every payload as received: level, line, terminating zero.
    std::vector<std::vector<std::uint8_t>> Payloads() const;
    // The lines of the payloads.
    std::vector<std::string> Lines() const;
    // Whether some line ends with ": *** Assert: <message>" under method.
    bool Reported(const std::string& method, const std::string& message) const;
    void Clear();

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Pump(HANDLE ready);

    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> payloads_;
    std::thread thread_;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
};

}  // namespace testing_support
