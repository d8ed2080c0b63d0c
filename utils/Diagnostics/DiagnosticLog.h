// Delivery of diagnostic lines: to the external diagnostic tool's window when
// one runs, and, for failure reports while the machine-wide option "PIP"
// reads "true", to "%DATA_DIR%asserts.txt".
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace diagnostic {

constexpr char kToolWindowTitle[] = "Quillon diagnostic tool";
constexpr char kAssertionFile[] = "%DATA_DIR%asserts.txt";
// A file grown past this is started afresh by the next report.
constexpr std::int64_t kAssertionFileLimit = 5120;

}  // namespace diagnostic

// Builds the line and delivers it. Lines of levels other than the assertion
// level are built only while the tool window exists. Reports nothing itself.
void WriteDiagnostic(std::int32_t level, DWORD threadId, const char* sourceFile,
                     const char* method, int line, const char* text);

// The local time and the milliseconds since the process's first timestamp.
// Each call returns its own text, so reporting threads never share a buffer.
std::string DiagnosticTimestamp();
