#include "service/CServiceLog.h"

#include "utils/Environment/PathMacros.h"
#include "utils/File/PathTests.h"
#include "utils/Ownership/WinOwnership.h"

#include <cstdio>

namespace {

std::string LocalTime() {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return text;
}

}  // namespace

CServiceLog::CServiceLog(std::string path) : path_(std::move(path)) {
    NormalizePath(path_);
}

void CServiceLog::Write(const std::string& text) {
    std::string line = LocalTime() + " " + text.substr(0, kMaxLine);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    }
    line += "\r\n";
    RotateWhenFull();
    win::UniqueFile file(::CreateFileA(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    ::WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void CServiceLog::RotateWhenFull() {
    if (GetFileSizeOf(path_) < kLimit)
        return;
    const std::string old = path_ + ".old";
    ::MoveFileExA(path_.c_str(), old.c_str(), MOVEFILE_REPLACE_EXISTING);
}
