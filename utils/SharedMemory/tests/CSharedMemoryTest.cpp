#include "utils/SharedMemory/CSharedMemory.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/TestPaths.h"
#include "utils/File/LaunchProgram.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {

std::string UniqueName(const char* stem) {
    return std::string(stem) + std::to_string(::GetCurrentProcessId()) + "_" +
           std::to_string(::GetTickCount64());
}

int RunPeer(const std::string& arguments) {
    const std::string peer = testing_support::ExecutableDirectory() + "SharedMemoryPeer.exe";
    return LaunchProgram(peer.c_str(), arguments.c_str(), 0, true);
}

TEST(CSharedMemory, FirstCreatorSeesANewZeroedBlockLaterOnesSeeItExisted) {
    const std::string name = UniqueName("QuillonTestEnable");
    CSharedMemory first(name);
    ASSERT_TRUE(first.Init(1));
    EXPECT_TRUE(first.Initialized());
    EXPECT_FALSE(first.Existed());
    EXPECT_EQ(0, first.View()[0]);
    ASSERT_TRUE(first.Lock(INFINITE));
    first.View()[0] = 1;
    EXPECT_TRUE(first.Unlock());

    CSharedMemory second(name);
    ASSERT_TRUE(second.Init(1));
    EXPECT_TRUE(second.Existed());
    EXPECT_EQ(1, second.View()[0]);
}

TEST(CSharedMemory, BlockWrittenByOneProcessIsReadByAnother) {
    const std::string name = UniqueName("QuillonTestClicks");
    CSharedMemory block(name);
    ASSERT_TRUE(block.Init(208));

    ASSERT_EQ(0, RunPeer("write " + name + " 208 example.com"));
    ASSERT_TRUE(block.Lock(INFINITE));
    EXPECT_STREQ("example.com", reinterpret_cast<const char*>(block.View()));
    block.View()[0] = 'Z';
    block.Unlock();
    EXPECT_EQ('Z', RunPeer("read " + name + " 208"));
}

TEST(CSharedMemory, LockTimesOutWhileAnotherThreadHoldsIt) {
    const std::string name = UniqueName("QuillonTestLock");
    CSharedMemory holder(name);
    ASSERT_TRUE(holder.Init(16));
    ASSERT_TRUE(holder.Lock(INFINITE));

    bool acquired = true;
    std::thread waiter([&] {
        CSharedMemory other(name);
        ASSERT_TRUE(other.Init(16));
        acquired = other.Lock(50);
    });
    waiter.join();
    EXPECT_FALSE(acquired);
    holder.Unlock();
}

TEST(CSharedMemory, LockLeftByAProcessThatDiedIsTakenOverAndReleasedAsUsual) {
    testing_support::DiagnosticCapture tool;
    const std::string name = UniqueName("QuillonTestAbandoned");
    CSharedMemory block(name);
    ASSERT_TRUE(block.Init(8));

    ASSERT_EQ(0, RunPeer("die-holding " + name + " 8"));
    EXPECT_TRUE(block.Lock(5000));
    EXPECT_TRUE(tool.Reported("CSharedMemory::Lock", "Abandoned mutex taken over"));
    block.View()[0] = 9;
    EXPECT_TRUE(block.Unlock());

    // The next process is not kept waiting.
    EXPECT_EQ(9, RunPeer("read " + name + " 8"));
}

TEST(CSharedMemory, MappingNameTakenByAnotherKindOfObjectIsReported) {
    testing_support::DiagnosticCapture tool;
    const std::string name = UniqueName("QuillonTestClash");
    win::UniqueHandle event(::CreateEventA(nullptr, FALSE, FALSE, name.c_str()));
    ASSERT_TRUE(event);
    CSharedMemory block(name);
    EXPECT_FALSE(block.Init(8));
    EXPECT_FALSE(block.Initialized());
    EXPECT_TRUE(tool.Reported("CSharedMemory::Init", "Failed to create file mapping"));
}

}  // namespace
