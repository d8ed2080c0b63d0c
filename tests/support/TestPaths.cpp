#include "tests/support/TestPaths.h"

#include "utils/File/PathTests.h"

#include <windows.h>

#include <fstream>

namespace testing_support {

std::string ExecutableDirectory() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory = path;
    return directory.substr(0, directory.rfind('\\') + 1);
}

ScratchDirectory::ScratchDirectory(const std::string& name) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + name + "." + std::to_string(::GetCurrentProcessId()) + "." +
            std::to_string(::GetTickCount64()) + "\\";
    DeletePath(path_);
    ::CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchDirectory::~ScratchDirectory() {
    DeletePath(path_);
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace testing_support
