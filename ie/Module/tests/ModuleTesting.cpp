#include "ie/Module/tests/ModuleTesting.h"

#include "tests/support/TestPaths.h"

#include <vector>

namespace module_testing {

std::string ModulePath() {
    return testing_support::ExecutableDirectory() + "QuillonIE.dll";
}

int RunToEnd(const std::string& commandLine, DWORD milliseconds) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    win::UniqueHandle processHandle(process.hProcess);
    win::UniqueHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(processHandle.Get(), milliseconds) != WAIT_OBJECT_0) {
        ::TerminateProcess(processHandle.Get(), 1);
        return -1;
    }
    DWORD code = 0;
    return ::GetExitCodeProcess(processHandle.Get(), &code) ? static_cast<int>(code) : -1;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

std::string StringValue(HKEY root, const std::string& path, const std::string& name) {
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return kMissing;
    win::UniqueRegKey owned(key);
    if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return kMissing;
    return std::string(data);
}

LoadedModule::LoadedModule(const std::string& path) : module_(::LoadLibraryA(path.c_str())) {}

}  // namespace module_testing
