#include "utils/File/LaunchProgram.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Ownership/WinOwnership.h"

#include <string>

int LaunchProgram(const char* program, const char* arguments, DWORD creationFlags, bool wait) {
    if (!program) {
        REPORT_ASSERT("LaunchProgram", "NULL pointer");
        return -1;
    }
    std::string commandLine = "\"";
    commandLine += program;
    commandLine += '"';
    if (arguments) {
        commandLine += ' ';
        commandLine += arguments;
    }

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, creationFlags,
                          nullptr, nullptr, &startup, &process)) {
        REPORT_ASSERT("LaunchProgram", "Failed to launch");
        return -1;
    }
    const win::UniqueHandle processHandle(process.hProcess);
    const win::UniqueHandle threadHandle(process.hThread);
    if (!wait)
        return 0;

    ::WaitForSingleObject(processHandle.Get(), INFINITE);
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(processHandle.Get(), &exitCode)) {
        REPORT_ASSERT("LaunchProgram", "Could not get exit code");
        return -1;
    }
    return static_cast<int>(exitCode);
}
