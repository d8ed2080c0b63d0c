// After a decline, only the declining thread's standard dialogs that are not
// the add-on's own are cancelled.
#include "ie/Download/DownloadDialogCloser.h"
#include "ie/Module/ModuleLock.h"
#include "tests/support/FakeRatingService.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// A modeless standard dialog from a template in memory, made "by" a module.
struct alignas(4) Template {
    DLGTEMPLATE header;
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

INT_PTR CALLBACK RecordCancel(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, 1);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

HWND MakeDialog(HINSTANCE module) {
    Template dialogTemplate = {};
    dialogTemplate.header.style = WS_POPUP | WS_VISIBLE;
    dialogTemplate.header.cx = 50;
    dialogTemplate.header.cy = 20;
    return ::CreateDialogIndirectParamA(module, &dialogTemplate.header, nullptr, &RecordCancel, 0);
}

bool Cancelled(HWND dialog) {
    return ::GetWindowLongPtrA(dialog, DWLP_USER) == 1;
}

TEST(DownloadDialogCloser, OnlyForeignDialogsOfTheDecliningThread) {
    HINSTANCE ours = ModuleInstance();
    HINSTANCE browsers = ::GetModuleHandleA("user32.dll");
    HWND browserDialog = MakeDialog(browsers);  // a Save As, say
    HWND ownDialog = MakeDialog(ours);
    ASSERT_TRUE(browserDialog && ownDialog);

    // Another window's thread with a dialog of its own (another download).
    std::atomic<HWND> otherDialog{nullptr};
    std::atomic<bool> done{false};
    std::thread other([&] {
        HWND dialog = MakeDialog(browsers);
        otherDialog = dialog;
        testing_support::PumpUntil([&] { return done.load(); }, 10000);
        EXPECT_FALSE(Cancelled(dialog)) << "another thread's dialog is left alone";
        ::DestroyWindow(dialog);
    });
    ASSERT_TRUE(testing_support::PumpUntil([&] { return otherDialog.load() != nullptr; }));

    ASSERT_TRUE(CDownloadDialogCloser::Start(::GetCurrentThreadId(), ours));
    EXPECT_TRUE(testing_support::PumpUntil([&] { return Cancelled(browserDialog); }, 2000));
    testing_support::PumpUntil([] { return false; }, 200);  // the closer's 100 ms, and then some
    EXPECT_FALSE(::IsWindowVisible(browserDialog));
    EXPECT_FALSE(Cancelled(ownDialog)) << "our own dialogs are not the browser's";
    EXPECT_TRUE(::IsWindowVisible(ownDialog));
    done = true;
    other.join();
    ::DestroyWindow(browserDialog);
    ::DestroyWindow(ownDialog);
}

}  // namespace
