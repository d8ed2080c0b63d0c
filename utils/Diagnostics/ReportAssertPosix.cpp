// Failure reports of the OS-free code when it runs natively (tests, fuzzers,
// tools): the same line as on Windows, written to standard error.
#include "utils/Diagnostics/DiagnosticLine.h"
#include "utils/Diagnostics/ReportAssert.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace {

std::string Timestamp() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point first = Clock::now();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - first).count();
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_r(&now, &local);
    return diagnostic::FormatTimestamp(local, static_cast<std::uint64_t>(elapsed));
}

}  // namespace

void ReportAssert(const char* sourceFile, const char* method, int line, const char* message) {
    try {
        const auto threadId = static_cast<std::uint32_t>(::syscall(SYS_gettid));
        const std::string text = diagnostic::FormatLine(
            Timestamp(), threadId, diagnostic::SourceFileName(sourceFile), method, line,
            diagnostic::AssertText(message));
        std::fprintf(stderr, "%s\n", text.c_str());
    } catch (...) {
        // A report never fails its caller.
    }
}
