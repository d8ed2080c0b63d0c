#include "ie/Module/RunningBrowserMap.h"
#include "tests/support/DiagnosticCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

CBHO* Browser(std::uintptr_t n) {
    return reinterpret_cast<CBHO*>(n * 16);
}
CToolbar* Toolbar(std::uintptr_t n) {
    return reinterpret_cast<CToolbar*>(n * 16 + 8);
}

// Either side may come first; the entry lives while one of them is set.
TEST(RunningBrowserMapTest, BrowserAndToolbarShareTheThreadsEntry) {
    CRunningBrowserMap map;
    for (bool toolbarFirst : {false, true}) {
        if (toolbarFirst) {
            EXPECT_TRUE(map.AddToolbar(7, Toolbar(1)));
            EXPECT_TRUE(map.AddBrowser(7, Browser(1)));
        } else {
            EXPECT_TRUE(map.AddBrowser(7, Browser(1)));
            EXPECT_TRUE(map.AddToolbar(7, Toolbar(1)));
        }
        EXPECT_EQ(map.Count(), 1u);
        EXPECT_EQ(map.GetBrowser(7), Browser(1));
        EXPECT_EQ(map.GetToolbar(7), Toolbar(1));
        EXPECT_TRUE(map.RemoveBrowser(7));
        EXPECT_EQ(map.GetBrowser(7), nullptr);
        EXPECT_EQ(map.GetToolbar(7), Toolbar(1));
        EXPECT_TRUE(map.RemoveToolbar(7));
        EXPECT_EQ(map.Count(), 0u);
    }
}

TEST(RunningBrowserMapTest, RefusalsAreReportedAndChangeNothing) {
    testing_support::DiagnosticCapture capture;
    CRunningBrowserMap map;
    ASSERT_TRUE(map.AddBrowser(1, Browser(1)));
    ASSERT_TRUE(map.AddToolbar(1, Toolbar(1)));
    struct Case {
        bool done;
        const char* method;
        const char* message;
    };
    const Case cases[] = {
        {map.AddBrowser(1, Browser(2)), "CRunningBrowserMap::AddBrowser", "Repeat registration"},
        {map.AddToolbar(1, Toolbar(2)), "CRunningBrowserMap::AddToolbar", "Reregistering toolbar"},
        {map.AddBrowser(2, nullptr), "CRunningBrowserMap::AddBrowser", "NULL pointer"},
        {map.AddToolbar(2, nullptr), "CRunningBrowserMap::AddToolbar", "NULL pointer"},
        {map.RemoveBrowser(3), "CRunningBrowserMap::RemoveBrowser", "Trying to remove nonexistent browser"},
        {map.RemoveToolbar(3), "CRunningBrowserMap::RemoveToolbar", "Removing nonexistent toolbar"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.done) << c.message;
        EXPECT_TRUE(capture.Reported(c.method, c.message)) << c.message;
    }
    EXPECT_EQ(map.GetBrowser(1), Browser(1));
    EXPECT_EQ(map.GetToolbar(1), Toolbar(1));
    EXPECT_EQ(map.Count(), 1u) << "a refused null adds no entry";
}

TEST(RunningBrowserMapTest, RemovingKeepsTheOthers) {
    CRunningBrowserMap map;
    for (DWORD thread = 1; thread <= 5; ++thread)
        ASSERT_TRUE(map.AddBrowser(thread, Browser(thread)));
    ASSERT_TRUE(map.RemoveBrowser(2));
    ASSERT_TRUE(map.RemoveBrowser(4));
    for (DWORD thread : {1u, 3u, 5u})
        EXPECT_EQ(map.GetBrowser(thread), Browser(thread));
    EXPECT_EQ(map.Count(), 3u);
}

// Browser windows register from their own threads, all at once, and the
// process's map is made only once however many ask for it first.
TEST(RunningBrowserMapTest, ManyThreadsAtOnce) {
    std::atomic<bool> go{false};
    std::vector<CRunningBrowserMap*> seen(8, nullptr);
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&, i] {
            while (!go)
                std::this_thread::yield();
            CRunningBrowserMap& map = RunningBrowserMap();
            seen[i] = &map;
            const DWORD thread = ::GetCurrentThreadId();
            for (int round = 0; round < 200; ++round) {
                if (!map.AddBrowser(thread, Browser(i + 1)) || !map.AddToolbar(thread, Toolbar(i + 1)) ||
                    map.GetBrowser(thread) != Browser(i + 1) || !map.RemoveBrowser(thread) ||
                    map.GetToolbar(thread) != Toolbar(i + 1) || !map.RemoveToolbar(thread))
                    ++failures;
            }
        });
    }
    go = true;
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, 0);
    for (CRunningBrowserMap* map : seen)
        EXPECT_EQ(map, seen[0]);
    EXPECT_EQ(RunningBrowserMap().Count(), 0u);
    DestroyRunningBrowserMap();
}

}  // namespace
