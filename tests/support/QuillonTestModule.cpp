// QuillonTestModule.dll: a DLL that holds its own copy of the window and
// thread helpers, as the add-on module does inside the browser. Tests load
// it to see what the helpers do when their code is not in the program.
#include "utils/Thread/UThread.h"
#include "utils/Window/UMessageWindow.h"

#include <windows.h>

#include <memory>

namespace {

std::unique_ptr<UMessageWindow> g_window;

class WaitingThread : public UThread {
public:
    explicit WaitingThread(HANDLE release) : UThread(true, Apartment::None), release_(release) {}

protected:
    DWORD Run() override {
        ::WaitForSingleObject(release_, 10000);
        return 0;
    }

private:
    HANDLE release_;  // owned by the test
};

}  // namespace

// Creates the module's window on the calling thread; its handle, or null.
extern "C" __declspec(dllexport) HWND TestModuleCreateWindow(const char* title) {
    g_window = std::make_unique<UMessageWindow>("TestModule::WindowProcedure");
    if (!g_window->Create(title, [](UINT, WPARAM, LPARAM, LRESULT*) { return false; }))
        return nullptr;
    return g_window->Window();
}

extern "C" __declspec(dllexport) void TestModuleDestroyWindow() {
    g_window.reset();
}

// Starts a thread of the module that ends when `release` is set.
extern "C" __declspec(dllexport) BOOL TestModuleStartThread(HANDLE release) {
    auto thread = std::make_unique<WaitingThread>(release);
    if (!thread->Start())
        return FALSE;
    thread.release();  // deletes itself
    return TRUE;
}

extern "C" __declspec(dllexport) long TestModuleLiveThreads() {
    return UThread::LiveCount();
}
