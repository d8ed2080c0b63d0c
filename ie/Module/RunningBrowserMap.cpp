#include "ie/Module/RunningBrowserMap.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace {

// Both trivially constructed, so nothing runs under the loader lock.
std::atomic<CRunningBrowserMap*> g_map{nullptr};
std::mutex g_creation;

}  // namespace

CRunningBrowserMap& RunningBrowserMap() {
    CRunningBrowserMap* map = g_map.load(std::memory_order_acquire);
    if (map)
        return *map;
    std::lock_guard<std::mutex> guard(g_creation);
    map = g_map.load(std::memory_order_relaxed);
    if (!map) {
        map = new CRunningBrowserMap();
        g_map.store(map, std::memory_order_release);
    }
    return *map;
}

void DestroyRunningBrowserMap() noexcept {
    delete g_map.exchange(nullptr);
}

CRunningBrowserMap::Row* CRunningBrowserMap::Find(DWORD threadId) {
    for (Row& row : table_) {
        if (row.first == threadId)
            return &row;
    }
    return nullptr;
}

const CRunningBrowserMap::Row* CRunningBrowserMap::Find(DWORD threadId) const {
    return const_cast<CRunningBrowserMap*>(this)->Find(threadId);
}

void CRunningBrowserMap::EraseIfEmpty(DWORD threadId) {
    // Erasing keeps the order of the other entries.
    table_.erase(std::remove_if(table_.begin(), table_.end(),
                                [threadId](const Row& row) {
                                    return row.first == threadId && !row.second.browser && !row.second.toolbar;
                                }),
                 table_.end());
}

template <typename T>
bool CRunningBrowserMap::AddTo(T* Entry::*slot, DWORD threadId, T* value, const char* method,
                               const char* repeated) {
    if (!value) {
        REPORT_ASSERT(method, "NULL pointer");
        return false;
    }
    bool taken = false;
    try {
        std::lock_guard<std::mutex> guard(lock_);
        Row* row = Find(threadId);
        if (!row) {
            table_.emplace_back(threadId, Entry());
            row = &table_.back();
        }
        taken = row->second.*slot != nullptr;
        if (!taken)
            row->second.*slot = value;
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Reported once the lock is released: the report talks to other windows.
    if (taken)
        REPORT_ASSERT(method, repeated);
    return !taken;
}

template <typename T>
bool CRunningBrowserMap::RemoveFrom(T* Entry::*slot, DWORD threadId, const char* method,
                                    const char* missing) {
    bool found = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (Row* row = Find(threadId)) {
            found = true;
            row->second.*slot = nullptr;
            EraseIfEmpty(threadId);
        }
    }
    if (!found)
        REPORT_ASSERT(method, missing);
    return found;
}

template <typename T>
T* CRunningBrowserMap::GetFrom(T* Entry::*slot, DWORD threadId) const {
    std::lock_guard<std::mutex> guard(lock_);
    const Row* row = Find(threadId);
    return row ? row->second.*slot : nullptr;
}

bool CRunningBrowserMap::AddBrowser(DWORD threadId, CBHO* browser) {
    return AddTo(&Entry::browser, threadId, browser, "CRunningBrowserMap::AddBrowser",
                 "Repeat registration");
}

bool CRunningBrowserMap::RemoveBrowser(DWORD threadId) {
    return RemoveFrom(&Entry::browser, threadId, "CRunningBrowserMap::RemoveBrowser",
                      "Trying to remove nonexistent browser");
}

CBHO* CRunningBrowserMap::GetBrowser(DWORD threadId) const {
    return GetFrom(&Entry::browser, threadId);
}

bool CRunningBrowserMap::AddToolbar(DWORD threadId, CToolbar* toolbar) {
    return AddTo(&Entry::toolbar, threadId, toolbar, "CRunningBrowserMap::AddToolbar",
                 "Reregistering toolbar");
}

bool CRunningBrowserMap::RemoveToolbar(DWORD threadId) {
    return RemoveFrom(&Entry::toolbar, threadId, "CRunningBrowserMap::RemoveToolbar",
                      "Removing nonexistent toolbar");
}

CToolbar* CRunningBrowserMap::GetToolbar(DWORD threadId) const {
    return GetFrom(&Entry::toolbar, threadId);
}

std::size_t CRunningBrowserMap::Count() const {
    std::lock_guard<std::mutex> guard(lock_);
    return table_.size();
}
