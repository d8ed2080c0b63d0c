// A named block of page-file-backed memory shared by every process of the
// logon session, guarded by a mutex named after it ("<name>Mutex"). Each user
// opens its own object on the same name; every access is Lock, copy, Unlock.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <string>

class CSharedMemory {
public:
    explicit CSharedMemory(std::string name) : name_(std::move(name)) {}
    CSharedMemory(const CSharedMemory&) = delete;
    CSharedMemory& operator=(const CSharedMemory&) = delete;

    // Creates or opens the mutex and the mapping, and maps all of it.
    bool Init(DWORD size);

    // Waits for the mutex. A mutex left abandoned by a process that died
    // holding it is taken over: that is reported, and the caller owns the
    // lock as usual (and must Unlock). False on a time-out or failure.
    bool Lock(DWORD timeoutMilliseconds);
    bool Unlock();

    std::uint8_t* View() const { return static_cast<std::uint8_t*>(view_.Get()); }
    DWORD Size() const { return size_; }
    bool Initialized() const { return initialized_; }
    // True when another user had created the block before this one.
    bool Existed() const { return existed_; }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    // Declared so that the view goes before the mapping that backs it.
    win::UniqueHandle mutex_;
    win::UniqueHandle mapping_;
    win::UniqueMappedView view_;
    DWORD size_ = 0;
    bool initialized_ = false;
    bool existed_ = false;
};
