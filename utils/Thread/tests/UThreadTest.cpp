#include "utils/Thread/UThread.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/TestModule.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <atomic>
#include <stdexcept>

namespace {

class RecordingThread : public UThread {
public:
    RecordingThread() : UThread(false) {}
    DWORD seenThreadId = 0;
    HRESULT multithreadedAttempt = S_OK;

protected:
    DWORD Run() override {
        seenThreadId = ::GetCurrentThreadId();
        // The apartment is already single-threaded: asking for another fails.
        multithreadedAttempt = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(multithreadedAttempt))
            ::CoUninitialize();
        return 42;
    }
};

TEST(UThread, RunsInASingleThreadedApartmentAndEndsWithRunsResult) {
    RecordingThread thread;
    EXPECT_FALSE(thread.Finished());
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(thread.Wait(5000));
    EXPECT_TRUE(thread.Finished());
    EXPECT_EQ(RPC_E_CHANGED_MODE, thread.multithreadedAttempt);
    EXPECT_EQ(thread.ThreadId(), thread.seenThreadId);
    EXPECT_NE(::GetCurrentThreadId(), thread.seenThreadId);
    DWORD exitCode = 0;
    ASSERT_TRUE(::GetExitCodeThread(thread.Handle(), &exitCode));
    EXPECT_EQ(42u, exitCode);
    EXPECT_FALSE(thread.Start());  // once only
}

class SelfDeletingThread : public UThread {
public:
    SelfDeletingThread(HANDLE go, HANDLE deleted, std::atomic<DWORD>& id)
        : UThread(true), go_(go), deleted_(deleted), id_(id) {}
    ~SelfDeletingThread() override { ::SetEvent(deleted_); }

protected:
    DWORD Run() override {
        id_ = ::GetCurrentThreadId();
        ::WaitForSingleObject(go_, 5000);
        return 7;
    }

private:
    HANDLE go_;
    HANDLE deleted_;
    std::atomic<DWORD>& id_;
};

TEST(UThread, AutoDeletingThreadDestroysItselfWhenRunEnds) {
    win::UniqueHandle go(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    win::UniqueHandle deleted(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::atomic<DWORD> id{0};
    auto* thread = new SelfDeletingThread(go.Get(), deleted.Get(), id);
    EXPECT_TRUE(thread->AutoDelete());
    ASSERT_TRUE(thread->Start());
    thread = nullptr;  // no longer ours

    for (int i = 0; i < 500 && id == 0; ++i)
        ::Sleep(10);
    ASSERT_NE(0u, id.load());
    win::UniqueHandle running(::OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, id));
    ASSERT_TRUE(running);
    EXPECT_EQ(WAIT_TIMEOUT, ::WaitForSingleObject(deleted.Get(), 100));
    ::SetEvent(go.Get());
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(deleted.Get(), 5000));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(running.Get(), 5000));
    DWORD exitCode = 0;
    ASSERT_TRUE(::GetExitCodeThread(running.Get(), &exitCode));
    EXPECT_EQ(7u, exitCode);
}

class ThrowingThread : public UThread {
public:
    ThrowingThread() : UThread(false) {}

protected:
    DWORD Run() override { throw std::runtime_error("boom"); }
};

TEST(UThread, ExceptionFromRunIsReportedAndEndsTheThread) {
    testing_support::DiagnosticCapture capture;
    ThrowingThread thread;
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(thread.Wait(5000));
    EXPECT_TRUE(thread.Finished());
    DWORD exitCode = 0;
    ASSERT_TRUE(::GetExitCodeThread(thread.Handle(), &exitCode));
    EXPECT_EQ(UThread::kExceptionExitCode, exitCode);
    EXPECT_TRUE(capture.Reported("UThread::Run", "Exception thrown"));
}

class GatedThread : public UThread {
public:
    GatedThread(HANDLE go, Apartment apartment) : UThread(false, apartment), go_(go) {}
    HRESULT multithreadedAttempt = E_UNEXPECTED;

protected:
    DWORD Run() override {
        multithreadedAttempt = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(multithreadedAttempt))
            ::CoUninitialize();
        ::WaitForSingleObject(go_, 5000);
        return 0;
    }

private:
    HANDLE go_;
};

TEST(UThread, CountsAsLiveFromStartUntilItHasEnded) {
    win::UniqueHandle go(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const long before = UThread::LiveCount();
    GatedThread thread(go.Get(), UThread::Apartment::None);
    EXPECT_EQ(before, UThread::LiveCount());
    ASSERT_TRUE(thread.Start());
    EXPECT_EQ(before + 1, UThread::LiveCount());
    ::SetEvent(go.Get());
    ASSERT_TRUE(thread.Wait(5000));
    EXPECT_EQ(before, UThread::LiveCount());
    // Without an apartment the thread is free to choose its own.
    EXPECT_EQ(S_OK, thread.multithreadedAttempt);
}

TEST(UThread, ThreadOfADllKeepsItLoadedUntilTheThreadHasEnded) {
    testing_support::TestModule module;
    ASSERT_TRUE(module.Loaded());
    win::UniqueHandle release(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const long programThreads = UThread::LiveCount();
    ASSERT_TRUE(module.startThread(release.Get()));
    EXPECT_EQ(1, module.liveThreads());
    EXPECT_EQ(programThreads, UThread::LiveCount());  // each module counts its own
    module.Free();
    // The thread's reference holds the DLL; freeing it under the thread
    // would crash this process when the thread returns.
    EXPECT_NE(nullptr, ::GetModuleHandleA(testing_support::TestModule::kFileName));
    ::SetEvent(release.Get());
    for (int i = 0; i < 500 && ::GetModuleHandleA(testing_support::TestModule::kFileName); ++i)
        ::Sleep(10);
    EXPECT_EQ(nullptr, ::GetModuleHandleA(testing_support::TestModule::kFileName));
}

}  // namespace
