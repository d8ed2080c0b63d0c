// An owned block of bytes. Growth is always to the exact size asked for: the
// block never keeps spare capacity (payloads and file contents are sized once).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class UBuffer {
public:
    UBuffer() = default;
    UBuffer(const void* data, std::size_t size) { Append(data, size); }

    const std::uint8_t* Data() const { return bytes_.data(); }
    std::uint8_t* Data() { return bytes_.data(); }
    std::size_t Size() const { return bytes_.size(); }
    bool Empty() const { return bytes_.empty(); }

    // Appends size bytes; false (and nothing appended) when memory runs out.
    bool Append(const void* data, std::size_t size);
    // Sets the size exactly, keeping the leading bytes; new bytes are zero.
    bool Resize(std::size_t size);
    void Clear() { std::vector<std::uint8_t>().swap(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};
