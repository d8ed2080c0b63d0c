#include "utils/File/PathTests.h"

#include "utils/Ownership/WinOwnership.h"

#include <shellapi.h>

namespace {

std::string WithoutTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}

bool FindFirst(const std::string& path, WIN32_FIND_DATAA* found) {
    if (path.empty())
        return false;
    win::UniqueFindHandle search(::FindFirstFileA(path.c_str(), found));
    return search.IsValid();
}

}  // namespace

long GetPathAttributes(const std::string& path) {
    WIN32_FIND_DATAA found = {};
    if (!FindFirst(path, &found))
        return -1;
    return static_cast<long>(found.dwFileAttributes);
}

std::int64_t GetFileSizeOf(const std::string& path) {
    WIN32_FIND_DATAA found = {};
    if (!FindFirst(path, &found) || found.nFileSizeHigh != 0)
        return -1;
    return static_cast<std::int64_t>(found.nFileSizeLow);
}

bool IsPlainFile(const std::string& path) {
    constexpr DWORD kNotPlain = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                                FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_COMPRESSED |
                                FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_ENCRYPTED;
    const long attributes = GetPathAttributes(path);
    return attributes != -1 && (static_cast<DWORD>(attributes) & kNotPlain) == 0;
}

bool IsDirectory(const std::string& path) {
    const long attributes = GetPathAttributes(WithoutTrailingBackslash(path));
    return attributes != -1 && (static_cast<DWORD>(attributes) & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeletePath(const std::string& path) {
    const std::string target = WithoutTrailingBackslash(path);
    if (target.empty())
        return false;
    // The shell wants a list ended by two zeros.
    std::string list = target;
    list.push_back('\0');
    list.push_back('\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return ::SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}
