#include "utils/Buffer/UBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

bool UBuffer::Append(const void* data, std::size_t size) {
    if (size == 0)
        return true;
    if (!data)
        return false;
    const std::size_t oldSize = bytes_.size();
    if (!Resize(oldSize + size))
        return false;
    std::memcpy(bytes_.data() + oldSize, data, size);
    return true;
}

bool UBuffer::Resize(std::size_t size) {
    if (size == bytes_.size())
        return true;
    try {
        // A fresh vector of exactly the new size, so no capacity is kept.
        std::vector<std::uint8_t> resized(size);
        const std::size_t kept = std::min(size, bytes_.size());
        if (kept > 0)
            std::memcpy(resized.data(), bytes_.data(), kept);
        bytes_.swap(resized);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}
