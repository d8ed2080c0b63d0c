// After the user declined a download, the browser's own dialogs for it (the
// download prompt, a Save As) would still wait for an answer: this worker
// cancels the standard dialogs of the declining thread for about 100 ms.
// Dialogs of other threads (another download's warning, a page's confirm in
// another window) and the add-on's own dialogs are left alone.
#pragma once

#include "utils/Thread/UThread.h"

#include <windows.h>

class CDownloadDialogCloser final : public UThread {
public:
    static constexpr int kPasses = 50;
    static constexpr DWORD kPassPauseMs = 2;

    // Starts an auto-deleting closer for the thread's dialogs; false when
    // no thread could be started.
    static bool Start(DWORD declinedThreadId, HINSTANCE addOnModule);

    // One pass, for tests: cancels what it finds now; the number cancelled.
    static int CancelDialogs(DWORD threadId, HINSTANCE addOnModule);

private:
    CDownloadDialogCloser(DWORD threadId, HINSTANCE addOnModule);
    DWORD Run() override;

    const DWORD threadId_;
    const HINSTANCE addOnModule_;
};
