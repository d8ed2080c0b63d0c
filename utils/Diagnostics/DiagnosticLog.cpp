#include "utils/Diagnostics/DiagnosticLog.h"

#include "utils/Diagnostics/DiagnosticLine.h"
#include "utils/Environment/PathMacros.h"
#include "utils/File/PathTests.h"
#include "utils/Options/Options.h"
#include "utils/Ownership/WinOwnership.h"

namespace {

constexpr int kOpenAttempts = 20;
constexpr DWORD kOpenRetryMilliseconds = 10;
// A hung tool must not hang the browser thread that reports.
constexpr UINT kToolTimeoutMilliseconds = 1000;

// Reports raised while a report is being written (a failing option read, a
// path macro) are dropped instead of recursing.
class ReentryGuard {
public:
    ReentryGuard() : entered_(active_) { active_ = true; }
    ~ReentryGuard() {
        if (!entered_)
            active_ = false;
    }
    bool AlreadyReporting() const { return entered_; }

private:
    static thread_local bool active_;
    const bool entered_;
};
thread_local bool ReentryGuard::active_ = false;

void AppendToAssertionFile(const std::string& line) {
    std::string path = diagnostic::kAssertionFile;
    if (!NormalizePath(path))
        return;  // never a file of that name in whatever folder is current
    const std::int64_t size = GetFileSizeOf(path);
    if (size < 0 || size > diagnostic::kAssertionFileLimit)
        ::DeleteFileA(path.c_str());

    win::UniqueFile file;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        file.Reset(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            break;
        ::Sleep(kOpenRetryMilliseconds);
    }
    if (!file)
        return;
    const std::string record = line + "\r\n";
    ::SetFilePointer(file.Get(), 0, nullptr, FILE_END);
    DWORD written = 0;
    ::WriteFile(file.Get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
}

void SendToTool(HWND tool, std::int32_t level, const std::string& line) {
    std::vector<std::uint8_t> payload = diagnostic::ToolPayload(level, line);
    COPYDATASTRUCT copyData = {};
    copyData.dwData = 0;
    copyData.cbData = static_cast<DWORD>(payload.size());
    copyData.lpData = payload.data();
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(tool, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copyData),
                          SMTO_ABORTIFHUNG, kToolTimeoutMilliseconds, &result);
}

}  // namespace

std::string DiagnosticTimestamp() {
    // Thread-safe once-only start, shared by all threads; the text is per call.
    static const ULONGLONG firstTick = ::GetTickCount64();
    const ULONGLONG elapsed = ::GetTickCount64() - firstTick;
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    std::tm local = {};
    local.tm_year = now.wYear - 1900;
    local.tm_mon = now.wMonth - 1;
    local.tm_mday = now.wDay;
    local.tm_hour = now.wHour;
    local.tm_min = now.wMinute;
    local.tm_sec = now.wSecond;
    local.tm_wday = now.wDayOfWeek;
    return diagnostic::FormatTimestamp(local, elapsed);
}

void WriteDiagnostic(std::int32_t level, DWORD threadId, const char* sourceFile,
                     const char* method, int line, const char* text) {
    const ReentryGuard guard;
    if (guard.AlreadyReporting())
        return;
    const HWND tool = ::FindWindowA(nullptr, diagnostic::kToolWindowTitle);
    if (level != diagnostic::kAssertLevel && !tool)
        return;

    const std::string diagnosticLine = diagnostic::FormatLine(
        DiagnosticTimestamp(), threadId, diagnostic::SourceFileName(sourceFile), method, line,
        text ? text : "");

    if (level == diagnostic::kAssertLevel &&
        GetOption(OptionScope::MachineWide, "PIP") == "true") {
        AppendToAssertionFile(diagnosticLine);
    }
    if (tool)
        SendToTool(tool, level, diagnosticLine);
}
