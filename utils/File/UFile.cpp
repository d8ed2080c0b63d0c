#include "utils/File/UFile.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Environment/PathMacros.h"

#include <memory>
#include <new>

bool UFile::Open(const char* path, DWORD access, DWORD creationDisposition) {
    Close();
    if (!path) {
        REPORT_ASSERT("UFile::Open", "NULL pointer");
        return false;
    }
    handle_.Reset(::CreateFileA(path, access, FILE_SHARE_READ, nullptr, creationDisposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle_.IsValid();
}

long UFile::Read(void* buffer, DWORD size) {
    if (!buffer) {
        REPORT_ASSERT("UFile::Read", "NULL pointer");
        return -1;
    }
    DWORD read = 0;
    if (!::ReadFile(handle_.Get(), buffer, size, &read, nullptr)) {
        REPORT_ASSERT("UFile::Read", "Failed to read file");
        return -1;
    }
    return static_cast<long>(read);
}

long UFile::Write(const void* buffer, DWORD size) {
    if (!buffer) {
        REPORT_ASSERT("UFile::Write", "NULL pointer");
        return -1;
    }
    DWORD written = 0;
    if (!::WriteFile(handle_.Get(), buffer, size, &written, nullptr)) {
        REPORT_ASSERT("UFile::Write", "File write failed");
        return -1;
    }
    return static_cast<long>(written);
}

bool UFile::WriteLine(const std::string& text) {
    const auto length = static_cast<DWORD>(text.size());
    const bool textWritten = Write(text.data(), length) == static_cast<long>(length);
    const bool endWritten = Write("\r\n", 2) == 2;
    return textWritten && endWritten;
}

void UFile::Seek(LONG distance, DWORD origin) {
    ::SetFilePointer(handle_.Get(), distance, nullptr, origin);
}

long UFile::ReadAll(UBuffer& buffer) {
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(handle_.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > MAXLONG)
        return 0;
    const auto wanted = static_cast<DWORD>(size.QuadPart);
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[wanted]);
    if (!block)
        return 0;
    const long read = Read(block.get(), wanted);
    if (read < 0)
        return -1;
    if (!buffer.Append(block.get(), static_cast<std::size_t>(read)))
        return 0;
    return read;
}

bool UFile::ReadFile(const std::string& path, UBuffer& buffer) {
    std::string normalized = path;
    if (!NormalizePath(normalized))
        return false;
    UFile file;
    if (!file.Open(normalized.c_str(), GENERIC_READ, OPEN_EXISTING))
        return false;
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.handle_.Get(), &size)) {
        REPORT_ASSERT("UFile::ReadFile", "File size error");
        return false;
    }
    if (file.ReadAll(buffer) != size.QuadPart) {
        REPORT_ASSERT("UFile::ReadFile", "Could not read file contents");
        return false;
    }
    return true;
}
