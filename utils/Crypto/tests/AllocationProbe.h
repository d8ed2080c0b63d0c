// Watches the size of every allocation made through operator new, so that a
// test can show that a hostile length never turned into a request for memory.
#pragma once

#include <cstddef>

namespace allocation_probe {

// Forgets the largest request seen so far.
void Reset();
// The largest single request since the last Reset.
std::size_t Largest();

}  // namespace allocation_probe
