#include "tests/support/TestModule.h"

#include "tests/support/TestPaths.h"

namespace testing_support {

namespace {
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}
}  // namespace

TestModule::TestModule() : module_(::LoadLibraryA((ExecutableDirectory() + kFileName).c_str())) {
    if (!module_)
        return;
    createWindow = Export<CreateWindowFunction>(module_, "TestModuleCreateWindow");
    destroyWindow = Export<DestroyWindowFunction>(module_, "TestModuleDestroyWindow");
    startThread = Export<StartThreadFunction>(module_, "TestModuleStartThread");
    liveThreads = Export<LiveThreadsFunction>(module_, "TestModuleLiveThreads");
}

TestModule::~TestModule() {
    Free();
}

void TestModule::Free() {
    if (module_)
        ::FreeLibrary(module_);
    module_ = nullptr;
}

}  // namespace testing_support
