// A file opened for whole reads and writes. Failures are reported and
// returned; the object stays usable after any of them.
#pragma once

#include "utils/Buffer/UBuffer.h"
#include "utils/Ownership/WinOwnership.h"

#include <string>

class UFile {
public:
    UFile() = default;
    UFile(const UFile&) = delete;
    UFile& operator=(const UFile&) = delete;

    // Opens with the access and creation disposition given, shared for
    // reading only. Any file already held is closed first.
    bool Open(const char* path, DWORD access, DWORD creationDisposition);
    // One read of up to size bytes: the count read, or -1.
    long Read(void* buffer, DWORD size);
    // One write: the count written, or -1.
    long Write(const void* buffer, DWORD size);
    // The text, then CR LF; true only when both were written whole.
    bool WriteLine(const std::string& text);
    // origin: FILE_BEGIN, FILE_CURRENT or FILE_END.
    void Seek(LONG distance, DWORD origin);
    // Appends the whole file to buffer: the count read; 0 for an empty file or
    // one whose size is unknown; -1 (nothing appended) when the read fails.
    long ReadAll(UBuffer& buffer);
    void Close() { handle_.Reset(); }
    bool IsOpen() const { return handle_.IsValid(); }

    // Reads a whole existing file (path macros allowed) into buffer; true only
    // when every byte the file system announced was read.
    static bool ReadFile(const std::string& path, UBuffer& buffer);

private:
    win::UniqueFile handle_;
};
