// A byte block with a read/write position: the marshalling buffer of every
// message, and the working buffer of file contents and the cipher stages.
// Writing grows the block to exactly position + n; reading never goes past
// the end, so a short payload simply yields fewer bytes.
#pragma once

#include "utils/Buffer/UBuffer.h"

#include <cstdint>
#include <string>

class UIOBuffer : public UBuffer {
public:
    UIOBuffer() = default;
    UIOBuffer(const void* data, std::size_t size) : UBuffer(data, size) {}

    std::int32_t Position() const { return position_; }
    // Clamped to the block: 0 to Size().
    void SetPosition(std::int64_t position);
    void Rewind() { position_ = 0; }
    // Bytes between the position and the end.
    std::size_t Remaining() const;

    // Copies up to n bytes from the position; the count copied (0 at the end).
    std::int32_t Read(void* destination, std::int32_t n);
    // Copies n bytes to the position, growing the block as needed; the count
    // copied (0 when the block cannot grow).
    std::int32_t Write(const void* source, std::int32_t n);

    // int32 length, then the bytes; only the bytes present are taken.
    std::string ReadString();
    // int32 length, then the bytes (just the length for an empty text).
    void WriteString(const std::string& text);
    // Up to the next CR, consuming the CR and the byte after it (the LF).
    std::string ReadLine();

    // Replaces the contents with a copy of a module resource (Windows only);
    // false when the resource is missing. `module` is an HMODULE.
    bool LoadResource(const char* name, const char* type, void* module);

    // Replaces the whole contents and rewinds.
    void Assign(const void* data, std::size_t size);

private:
    std::int32_t position_ = 0;
};

// Little-endian int32 access shared by the field encodings.
bool ReadInt32(UIOBuffer& buffer, std::int32_t& value);
void WriteInt32(UIOBuffer& buffer, std::int32_t value);
