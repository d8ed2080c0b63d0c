#include "utils/Buffer/UIOBuffer.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <algorithm>
#include <climits>
#include <cstring>

void UIOBuffer::SetPosition(std::int64_t position) {
    const auto end = static_cast<std::int64_t>(std::min<std::size_t>(Size(), INT32_MAX));
    position_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 0, end));
}

std::size_t UIOBuffer::Remaining() const {
    const auto position = static_cast<std::size_t>(position_);
    return position < Size() ? Size() - position : 0;
}

std::int32_t UIOBuffer::Read(void* destination, std::int32_t n) {
    if (!destination) {
        REPORT_ASSERT("UIOBuffer::Read", "NULL pointer");
        return 0;
    }
    if (n <= 0)
        return 0;
    const auto count = static_cast<std::int32_t>(std::min<std::size_t>(Remaining(), n));
    if (count > 0) {
        std::memcpy(destination, Data() + position_, static_cast<std::size_t>(count));
        position_ += count;
    }
    return count;
}

std::int32_t UIOBuffer::Write(const void* source, std::int32_t n) {
    if (!source) {
        REPORT_ASSERT("UIOBuffer::Write", "NULL pointer");
        return 0;
    }
    if (n <= 0 || n > INT32_MAX - position_)
        return 0;
    const auto end = static_cast<std::size_t>(position_) + static_cast<std::size_t>(n);
    if (end > Size() && !Resize(end))
        return 0;
    std::memcpy(Data() + position_, source, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::string UIOBuffer::ReadString() {
    std::int32_t length = 0;
    if (!ReadInt32(*this, length) || length <= 0)
        return std::string();
    const std::size_t present = std::min<std::size_t>(Remaining(), static_cast<std::size_t>(length));
    std::string text(reinterpret_cast<const char*>(Data()) + position_, present);
    position_ += static_cast<std::int32_t>(present);
    return text;
}

void UIOBuffer::WriteString(const std::string& text) {
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
    WriteInt32(*this, length);
    if (length > 0)
        Write(text.data(), length);
}

std::string UIOBuffer::ReadLine() {
    const char* begin = reinterpret_cast<const char*>(Data()) + position_;
    const std::size_t available = Remaining();
    const void* cr = available ? std::memchr(begin, '\r', available) : nullptr;
    if (!cr) {
        std::string rest(begin, available);
        position_ += static_cast<std::int32_t>(available);
        return rest;
    }
    const auto length = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
    std::string line(begin, length);
    // The CR and the byte after it, as far as they exist.
    SetPosition(static_cast<std::int64_t>(position_) + static_cast<std::int64_t>(length) + 2);
    return line;
}

void UIOBuffer::Assign(const void* data, std::size_t size) {
    Clear();
    Append(data, size);
    position_ = 0;
}

bool ReadInt32(UIOBuffer& buffer, std::int32_t& value) {
    std::uint8_t bytes[4] = {};
    const std::int32_t read = buffer.Read(bytes, 4);
    // A partial integer reads as 0: the fields of a short payload stay empty.
    if (read != 4) {
        value = 0;
        return false;
    }
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                      static_cast<std::uint32_t>(bytes[1]) << 8 |
                                      static_cast<std::uint32_t>(bytes[2]) << 16 |
                                      static_cast<std::uint32_t>(bytes[3]) << 24);
    return true;
}

void WriteInt32(UIOBuffer& buffer, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                                   static_cast<std::uint8_t>(bits >> 16),
                                   static_cast<std::uint8_t>(bits >> 24)};
    buffer.Write(bytes, 4);
}
