// Loads QuillonTestModule.dll (tests/support/QuillonTestModule.cpp) and finds its
// exports.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class TestModule {
public:
    using CreateWindowFunction = HWND (*)(const char* title);
    using DestroyWindowFunction = void (*)();
    using StartThreadFunction = BOOL (*)(HANDLE release);
    using LiveThreadsFunction = long (*)();

    static constexpr char kFileName[] = "QuillonTestModule.dll";

    // Loads the DLL from the test programs' folder.
    TestModule();
    // Frees it if still loaded by this object.
    ~TestModule();
    TestModule(const TestModule&) = delete;
    TestModule& operator=(const TestModule&) = delete;

    HMODULE Handle() const { return module_; }
    bool Loaded() const { return module_ && createWindow && destroyWindow && startThread && liveThreads; }
    // Drops this object's reference (others may keep the DLL loaded).
    void Free();

    CreateWindowFunction createWindow = nullptr;
    DestroyWindowFunction destroyWindow = nullptr;
    StartThreadFunction startThread = nullptr;
    LiveThreadsFunction liveThreads = nullptr;

private:
    HMODULE module_ = nullptr;
};

}  // namespace testing_support
