#include "utils/SharedMemory/CSharedMemory.h"

#include "utils/Diagnostics/ReportAssert.h"

bool CSharedMemory::Init(DWORD size) {
    const std::string mutexName = name_ + "Mutex";
    mutex_.Reset(::CreateMutexA(nullptr, FALSE, mutexName.c_str()));
    if (!mutex_) {
        REPORT_ASSERT("CSharedMemory::Init", "Failed to create mutex");
        return false;
    }
    mapping_.Reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size,
                                        name_.c_str()));
    if (!mapping_) {
        REPORT_ASSERT("CSharedMemory::Init", "Failed to create file mapping");
        return false;
    }
    existed_ = ::GetLastError() == ERROR_ALREADY_EXISTS;
    view_.Reset(::MapViewOfFile(mapping_.Get(), FILE_MAP_WRITE, 0, 0, size));
    if (!view_) {
        REPORT_ASSERT("CSharedMemory::Init", "Failed to create map view of file");
        mapping_.Reset();
        return false;
    }
    size_ = size;
    initialized_ = true;
    return true;
}

bool CSharedMemory::Lock(DWORD timeoutMilliseconds) {
    if (!mutex_) {
        REPORT_ASSERT("CSharedMemory::Lock", "NULL pointer");
        return false;
    }
    switch (::WaitForSingleObject(mutex_.Get(), timeoutMilliseconds)) {
    case WAIT_OBJECT_0:
        return true;
    case WAIT_ABANDONED:
        // We own it now; refusing would leave it held for ever.
        REPORT_ASSERT("CSharedMemory::Lock", "Abandoned mutex taken over");
        return true;
    default:
        return false;
    }
}

bool CSharedMemory::Unlock() {
    return mutex_ && ::ReleaseMutex(mutex_.Get());
}
