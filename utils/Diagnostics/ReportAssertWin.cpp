#include "utils/Diagnostics/DiagnosticLine.h"
#include "utils/Diagnostics/DiagnosticLog.h"
#include "utils/Diagnostics/ReportAssert.h"

namespace {

// Reports run at normal priority, whatever the reporting thread's own.
class NormalPriorityScope {
public:
    NormalPriorityScope()
        : thread_(::GetCurrentThread()), saved_(::GetThreadPriority(thread_)) {
        ::SetThreadPriority(thread_, THREAD_PRIORITY_NORMAL);
    }
    ~NormalPriorityScope() {
        if (saved_ != THREAD_PRIORITY_ERROR_RETURN)
            ::SetThreadPriority(thread_, saved_);
    }
    NormalPriorityScope(const NormalPriorityScope&) = delete;
    NormalPriorityScope& operator=(const NormalPriorityScope&) = delete;

private:
    HANDLE thread_;
    int saved_;
};

}  // namespace

void ReportAssert(const char* sourceFile, const char* method, int line, const char* message) {
    try {
        const NormalPriorityScope priority;
        const std::string text = diagnostic::AssertText(message);
        WriteDiagnostic(diagnostic::kAssertLevel, ::GetCurrentThreadId(), sourceFile, method, line,
                        text.c_str());
    } catch (...) {
        // A report never fails its caller.
    }
}
