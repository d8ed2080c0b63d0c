// Test program: the other process of the shared memory tests.
//   SharedMemoryPeer write <name> <size> <text>   writes text at offset 0, exits 0
//   SharedMemoryPeer read <name> <size>           exits with the first byte of the block
//   SharedMemoryPeer die-holding <name> <size>    takes the lock and dies without releasing it
#include "utils/SharedMemory/CSharedMemory.h"

#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4)
        return 100;
    const std::string command = argv[1];
    CSharedMemory block(argv[2]);
    if (!block.Init(static_cast<DWORD>(std::atoi(argv[3]))))
        return 101;
    if (!block.Lock(INFINITE))
        return 102;
    if (command == "write" && argc > 4) {
        std::memcpy(block.View(), argv[4], std::strlen(argv[4]) + 1);
        block.Unlock();
        return 0;
    }
    if (command == "read") {
        const int first = block.View()[0];
        block.Unlock();
        return first;
    }
    if (command == "die-holding")
        ::ExitProcess(0);  // the mutex is abandoned, not released
    return 103;
}
