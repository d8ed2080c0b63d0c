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

bool CRunningBrowserMap::AddBrowser(DWORD threadId, CBHO* browser) {
    if (!browser) {
        REPORT_ASSERT("CRunningBrowserMap::AddBrowser", "NULL pointer");
        return false;
    }
    const char* failure = nullptr;
    try {
        std::lock_guard<std::mutex> guard(lock_);
        Row* row = Find(threadId);
        if (!row) {
            table_.emplace_back(threadId, Entry());
            row = &table_.back();
        }
        if (row->second.browser)
            failure = "Repeat registration";
        else
            row->second.browser = browser;
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Reported once the lock is released: the report talks to other windows.
    if (failure) {
        REPORT_ASSERT("CRunningBrowserMap::AddBrowser", failure);
        return false;
    }
    return true;
}

bool CRunningBrowserMap::RemoveBrowser(DWORD threadId) {
    bool found = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (Row* row = Find(threadId)) {
            found = true;
            row->second.browser = nullptr;
            EraseIfEmpty(threadId);
        }
    }
    if (!found)
        REPORT_ASSERT("CRunningBrowserMap::RemoveBrowser", "Trying to remove nonexistent browser");
    return found;
}

CBHO* CRunningBrowserMap::GetBrowser(DWORD threadId) const {
    std::lock_guard<std::mutex> guard(lock_);
    const Row* row = Find(threadId);
    return row ? row->second.browser : nullptr;
}

bool CRunningBrowserMap::AddToolbar(DWORD threadId, CToolbar* toolbar) {
    if (!toolbar) {
        REPORT_ASSERT("CRunningBrowserMap::AddToolbar", "NULL pointer");
        return false;
    }
    const char* failure = nullptr;
    try {
        std::lock_guard<std::mutex> guard(lock_);
        Row* row = Find(threadId);
        if (!row) {
            table_.emplace_back(threadId, Entry());
            row = &table_.back();
        }
        if (row->second.toolbar)
            failure = "Reregistering toolbar";
        else
            row->second.toolbar = toolbar;
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (failure) {
        REPORT_ASSERT("CRunningBrowserMap::AddToolbar", failure);
        return false;
    }
    return true;
}

bool CRunningBrowserMap::RemoveToolbar(DWORD threadId) {
    bool found = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (Row* row = Find(threadId)) {
            found = true;
            row->second.toolbar = nullptr;
            EraseIfEmpty(threadId);
        }
    }
    if (!found)
        REPORT_ASSERT("CRunningBrowserMap::RemoveToolbar", "Removing nonexistent toolbar");
    return found;
}

CToolbar* CRunningBrowserMap::GetToolbar(DWORD threadId) const {
    std::lock_guard<std::mutex> guard(lock_);
    const Row* row = Find(threadId);
    return row ? row->second.toolbar : nullptr;
}

std::size_t CRunningBrowserMap::Count() const {
    std::lock_guard<std::mutex> guard(lock_);
    return table_.size();
}
