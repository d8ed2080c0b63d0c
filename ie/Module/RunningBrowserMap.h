// The browsers running in this process, by the thread of their window: the
// toolbar band, menu bar and balloon of a window find its browser helper
// here, and the helper its band. One instance per process.
#pragma once

#include <windows.h>

#include <mutex>
#include <utility>
#include <vector>

class CBHO;
class CToolbar;

class CRunningBrowserMap {
public:
    CRunningBrowserMap() = default;
    CRunningBrowserMap(const CRunningBrowserMap&) = delete;
    CRunningBrowserMap& operator=(const CRunningBrowserMap&) = delete;

    // False (reported) for a null helper or when the thread has one already.
    bool AddBrowser(DWORD threadId, CBHO* browser);
    // False (reported) when the thread has no entry.
    bool RemoveBrowser(DWORD threadId);
    CBHO* GetBrowser(DWORD threadId) const;

    bool AddToolbar(DWORD threadId, CToolbar* toolbar);
    bool RemoveToolbar(DWORD threadId);
    CToolbar* GetToolbar(DWORD threadId) const;

    // Threads with an entry, in the order they were added.
    std::size_t Count() const;

private:
    struct Entry {
        CBHO* browser = nullptr;
        CToolbar* toolbar = nullptr;
    };
    using Row = std::pair<DWORD, Entry>;

    // One implementation for the helper's and the band's slot of an entry;
    // the texts are what the public operation reports.
    template <typename T>
    bool AddTo(T* Entry::*slot, DWORD threadId, T* value, const char* method,
               const char* repeated);
    template <typename T>
    bool RemoveFrom(T* Entry::*slot, DWORD threadId, const char* method, const char* missing);
    template <typename T>
    T* GetFrom(T* Entry::*slot, DWORD threadId) const;

    // Callers hold the lock.
    Row* Find(DWORD threadId);
    const Row* Find(DWORD threadId) const;
    void EraseIfEmpty(DWORD threadId);

    // Held only for a look-up and change of the table; nothing is called
    // while it is held.
    mutable std::mutex lock_;
    std::vector<Row> table_;
};

// The process's map, created on first use by whichever thread comes first.
CRunningBrowserMap& RunningBrowserMap();
// Frees the map when the module is unloaded.
void DestroyRunningBrowserMap() noexcept;
