#include "utils/Window/UMessageWindow.h"

#include "tests/support/CopyDataWindow.h"
#include "tests/support/DiagnosticCapture.h"
#include "tests/support/TestModule.h"
#include "utils/Ownership/WinOwnership.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

constexpr char kTitle[] = "Quillon message window test";
constexpr char kClassName[] = "QuillonMessageWindow";

bool Ignore(UINT, WPARAM, LPARAM, LRESULT*) {
    return false;
}

// Pumps the calling thread's messages until done() holds or 5 s have passed.
template <typename Done>
bool PumpUntil(Done done) {
    for (int i = 0; i < 500 && !done(); ++i) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&message);
        ::Sleep(10);
    }
    return done();
}

TEST(UMessageWindow, IsAHiddenTopLevelPopUpOfThisModuleFoundByItsTitle) {
    UMessageWindow titled("Test::WindowProcedure");
    UMessageWindow untitled("Test::WindowProcedure");
    EXPECT_EQ(nullptr, titled.Window());
    ASSERT_TRUE(titled.Create(kTitle, &Ignore));
    ASSERT_TRUE(untitled.Create("", &Ignore));

    const HWND window = titled.Window();
    EXPECT_EQ(window, ::FindWindowA(nullptr, kTitle));
    EXPECT_EQ(window, ::FindWindowA(kClassName, kTitle));
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(nullptr, ::GetParent(window));
    EXPECT_EQ(static_cast<LONG_PTR>(WS_POPUP), ::GetWindowLongPtrA(window, GWL_STYLE) & (WS_POPUP | WS_CHILD));
    EXPECT_EQ(::GetCurrentThreadId(), titled.ThreadId());
    EXPECT_EQ(::GetCurrentThreadId(), ::GetWindowThreadProcessId(window, nullptr));
    EXPECT_EQ(0, ::GetWindowTextLengthA(untitled.Window()));
    // One class for both, registered by the module holding the code.
    EXPECT_EQ(::GetClassLongPtrA(window, GCW_ATOM), ::GetClassLongPtrA(untitled.Window(), GCW_ATOM));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(::GetModuleHandleA(nullptr)),
              ::GetClassLongPtrA(window, GCLP_HMODULE));

    testing_support::DiagnosticCapture capture;
    ASSERT_TRUE(capture.IsListening());
    EXPECT_FALSE(titled.Create("again", &Ignore));
    EXPECT_TRUE(capture.Reported("UMessageWindow::Create", "The window exists already"));
    EXPECT_EQ(window, titled.Window());
}

TEST(UMessageWindow, HandlerAnswersOnTheWindowsThreadAndLeavesTheRestToDefWindowProc) {
    std::atomic<DWORD> handlerThread{0};
    testing_support::CopyDataWindow receiver(kTitle, [&](WPARAM wParam, const COPYDATASTRUCT& copyData) {
        handlerThread = ::GetCurrentThreadId();
        return static_cast<LRESULT>(wParam + copyData.dwData);
    });
    ASSERT_NE(nullptr, receiver.Window());
    char bytes[] = "abc";
    COPYDATASTRUCT copyData = {40, sizeof bytes, bytes};
    EXPECT_EQ(42, ::SendMessageA(receiver.Window(), WM_COPYDATA, 2, reinterpret_cast<LPARAM>(&copyData)));
    EXPECT_EQ(receiver.ThreadId(), handlerThread.load());
    EXPECT_NE(::GetCurrentThreadId(), handlerThread.load());

    char title[64] = {};
    EXPECT_EQ(static_cast<LRESULT>(sizeof kTitle - 1),
              ::SendMessageA(receiver.Window(), WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title)));
    EXPECT_STREQ(kTitle, title);
}

TEST(UMessageWindow, ExceptionFromTheHandlerIsReportedUnderTheOwnersNameAndTheWindowLivesOn) {
    testing_support::DiagnosticCapture capture;
    ASSERT_TRUE(capture.IsListening());
    UMessageWindow window("COwner::WindowProcedure");
    ASSERT_TRUE(window.Create(kTitle, [](UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (message == WM_APP)
            throw std::runtime_error("boom");
        if (message != WM_APP + 1)
            return false;
        *result = 5;
        return true;
    }));
    EXPECT_EQ(0, ::SendMessageA(window.Window(), WM_APP, 0, 0));
    EXPECT_TRUE(capture.Reported("COwner::WindowProcedure", "Exception thrown"));
    EXPECT_EQ(5, ::SendMessageA(window.Window(), WM_APP + 1, 0, 0));
}

TEST(UMessageWindow, WindowDestroyedByAnyMeansIsForgotten) {
    struct Case {
        const char* name;
        void (*destroy)(UMessageWindow&);
    };
    const Case cases[] = {
        {"Destroy", [](UMessageWindow& window) { window.Destroy(); }},
        {"WM_CLOSE to DefWindowProc", [](UMessageWindow& window) { ::SendMessageA(window.Window(), WM_CLOSE, 0, 0); }},
        {"DestroyWindow", [](UMessageWindow& window) { ::DestroyWindow(window.Window()); }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        std::vector<UINT> seen;
        UMessageWindow window("Test::WindowProcedure");
        ASSERT_TRUE(window.Create(kTitle, [&](UINT message, WPARAM, LPARAM, LRESULT*) {
            if (message == WM_DESTROY || message == WM_NCDESTROY)
                seen.push_back(message);
            return false;
        }));
        const HWND handle = window.Window();
        test.destroy(window);
        EXPECT_FALSE(::IsWindow(handle));
        EXPECT_EQ(nullptr, window.Window());
        EXPECT_EQ((std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}), seen);
        window.Destroy();  // nothing left to do, nothing reported
    }
}

TEST(UMessageWindow, DestroyOnAnotherThreadIsReportedAndTheWindowsOwnThreadClosesIt) {
    testing_support::DiagnosticCapture capture;
    ASSERT_TRUE(capture.IsListening());
    UMessageWindow window("Test::WindowProcedure");
    std::atomic<int> handled{0};
    win::UniqueHandle created(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> stop{false};
    std::thread owner([&] {
        window.Create(kTitle, [&](UINT message, WPARAM, LPARAM, LRESULT*) {
            if (message == WM_APP)
                ++handled;
            return false;
        });
        ::SetEvent(created.Get());
        PumpUntil([&] { return stop.load(); });
    });
    ::WaitForSingleObject(created.Get(), 5000);
    const HWND handle = window.Window();
    ASSERT_NE(nullptr, handle);
    ::SendMessageA(handle, WM_APP, 0, 0);
    EXPECT_EQ(1, handled.load());

    window.Destroy();
    EXPECT_TRUE(capture.Reported("UMessageWindow::Destroy", "Used on another thread than the window's"));
    EXPECT_EQ(nullptr, window.Window());
    for (int i = 0; i < 500 && ::IsWindow(handle); ++i)
        ::Sleep(10);
    EXPECT_FALSE(::IsWindow(handle));
    EXPECT_EQ(1, handled.load());  // the object no longer heard from it
    stop = true;
    owner.join();
}

TEST(UMessageWindow, ClassOfAWindowInADllBelongsToTheDllAndGoesWhenItUnloads) {
    testing_support::TestModule module;
    ASSERT_TRUE(module.Loaded());
    const HMODULE dll = module.Handle();
    const HWND window = module.createWindow("Quillon test module window");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(dll), ::GetClassLongPtrA(window, GCLP_HMODULE));
    EXPECT_NE(reinterpret_cast<ULONG_PTR>(::GetModuleHandleA(nullptr)), ::GetClassLongPtrA(window, GCLP_HMODULE));
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    EXPECT_TRUE(::GetClassInfoExA(dll, kClassName, &info));

    module.destroyWindow();
    EXPECT_FALSE(::IsWindow(window));
    module.Free();
    ASSERT_EQ(nullptr, ::GetModuleHandleA(testing_support::TestModule::kFileName));
    EXPECT_FALSE(::GetClassInfoExA(dll, kClassName, &info));
}

TEST(UMessageWindow, FilterForLowerIntegritySendersIsAskedForAndMessagesStillArrive) {
    // Wine has no integrity levels: its ChangeWindowMessageFilterEx accepts
    // and changes nothing. What can be seen here is that the call is found,
    // made, succeeds, and leaves the window receiving.
    std::atomic<int> received{0};
    UMessageWindow window("Test::WindowProcedure");
    EXPECT_EQ(UMessageWindow::FilterResult::Failed, window.AllowFromLowerIntegrity(WM_COPYDATA));  // no window yet
    ASSERT_TRUE(window.Create(kTitle, [&](UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (message != WM_COPYDATA)
            return false;
        ++received;
        *result = TRUE;
        return true;
    }));
    EXPECT_EQ(UMessageWindow::FilterResult::Allowed, window.AllowFromLowerIntegrity(WM_COPYDATA));

    char bytes[] = "x";
    COPYDATASTRUCT copyData = {1, sizeof bytes, bytes};
    std::atomic<LRESULT> answer{0};
    std::thread sender([&] {
        answer = ::SendMessageA(window.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copyData));
    });
    PumpUntil([&] { return received.load() == 1; });
    sender.join();
    EXPECT_EQ(1, received.load());
    EXPECT_EQ(TRUE, answer.load());
}

}  // namespace
