#include "ie/UI/DeferredRelease.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <windows.h>

#include <map>
#include <mutex>
#include <utility>

namespace {

using Key = std::pair<DWORD, UINT_PTR>;  // thread, timer

std::mutex& PendingLock() {
    static std::mutex lock;
    return lock;
}

std::map<Key, IUnknown*>& Pending() {
    static std::map<Key, IUnknown*> pending;
    return pending;
}

void CALLBACK ReleaseNow(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    IUnknown* object = nullptr;
    {
        std::lock_guard<std::mutex> guard(PendingLock());
        auto found = Pending().find(Key(::GetCurrentThreadId(), timer));
        if (found == Pending().end())
            return;
        object = found->second;
        Pending().erase(found);
    }
    try {
        object->Release();
    } catch (...) {
        REPORT_ASSERT("ReleaseLater", "Exception thrown");
    }
}

}  // namespace

void ReleaseLater(IUnknown* object) {
    if (!object)
        return;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 0, &ReleaseNow);
    if (!timer) {
        REPORT_ASSERT("ReleaseLater", "Could not defer the release");
        return;
    }
    try {
        std::lock_guard<std::mutex> guard(PendingLock());
        Pending()[Key(::GetCurrentThreadId(), timer)] = object;
    } catch (...) {
        ::KillTimer(nullptr, timer);
        REPORT_ASSERT("ReleaseLater", "Exception thrown");
    }
}
