#include "ie/Download/DownloadDialogCloser.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <cstring>

namespace {

struct Search {
    HINSTANCE addOnModule;
    int cancelled;
};

bool IsStandardDialog(HWND window) {
    char className[16] = {};
    return ::GetClassNameA(window, className, sizeof className) > 0 && std::strcmp(className, "#32770") == 0;
}

BOOL CALLBACK CancelIfForeignDialog(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    if (!::IsWindowVisible(window) || !IsStandardDialog(window))
        return TRUE;
    // Our own dialogs (the warning itself, settings) are made from our
    // module's templates.
    if (reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(window, GWLP_HINSTANCE)) == search.addOnModule)
        return TRUE;
    // Asynchronous: the dialog's thread may be busy in the download read.
    ::ShowWindowAsync(window, SW_HIDE);
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ++search.cancelled;
    return TRUE;
}

}  // namespace

CDownloadDialogCloser::CDownloadDialogCloser(DWORD threadId, HINSTANCE addOnModule)
    : UThread(true, Apartment::None), threadId_(threadId), addOnModule_(addOnModule) {}

bool CDownloadDialogCloser::Start(DWORD declinedThreadId, HINSTANCE addOnModule) {
    auto* closer = new CDownloadDialogCloser(declinedThreadId, addOnModule);
    if (!closer->UThread::Start()) {
        REPORT_ASSERT("CDownloadDialogCloser::Start", "Couldn't start thread");
        delete closer;
        return false;
    }
    return true;
}

int CDownloadDialogCloser::CancelDialogs(DWORD threadId, HINSTANCE addOnModule) {
    Search search{addOnModule, 0};
    ::EnumThreadWindows(threadId, &CancelIfForeignDialog, reinterpret_cast<LPARAM>(&search));
    return search.cancelled;
}

DWORD CDownloadDialogCloser::Run() {
    // Hidden dialogs are skipped, so each is cancelled once however often
    // the passes see it before it goes.
    for (int pass = 0; pass < kPasses; ++pass) {
        CancelDialogs(threadId_, addOnModule_);
        ::Sleep(kPassPauseMs);
    }
    return 0;
}
