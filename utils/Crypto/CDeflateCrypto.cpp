#include "utils/Crypto/CDeflateCrypto.h"

#include <zlib.h>

#include <limits>

namespace {

constexpr std::size_t kLengthSize = 4;

void PutLength(std::uint8_t* out, std::uint32_t length) {
    for (std::size_t i = 0; i < kLengthSize; ++i)
        out[i] = static_cast<std::uint8_t>(length >> (8 * i));
}

std::uint32_t GetLength(const std::uint8_t* in) {
    std::uint32_t length = 0;
    for (std::size_t i = 0; i < kLengthSize; ++i)
        length |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    return length;
}

// Whether a stored length could describe `compressedSize` bytes of stream.
bool PlausibleLength(std::uint32_t length, std::size_t compressedSize) {
    if (length > CDeflateCrypto::kMaxTextSize)
        return false;
    return length <= static_cast<std::uint64_t>(compressedSize) * CDeflateCrypto::kMaxExpansion;
}

}  // namespace

bool CDeflateCrypto::Encrypt(UIOBuffer& buffer) {
    const std::size_t size = buffer.Size();
    if (size > kMaxTextSize)
        return false;
    // Room for the length and a stream of incompressible text: zlib needs
    // a little more than the text itself in the worst case.
    const uLong room = static_cast<uLong>(size * 11 / 10 + 20);
    UIOBuffer out;
    if (!out.Resize(kLengthSize + room))
        return false;
    uLongf packed = room;
    const Bytef* source = buffer.Empty() ? reinterpret_cast<const Bytef*>("") : buffer.Data();
    if (compress2(out.Data() + kLengthSize, &packed, source, static_cast<uLong>(size), 9) != Z_OK)
        return false;
    PutLength(out.Data(), static_cast<std::uint32_t>(size));
    if (!out.Resize(kLengthSize + packed))
        return false;
    buffer = std::move(out);
    return true;
}

bool CDeflateCrypto::Decrypt(UIOBuffer& buffer) {
    if (buffer.Size() < kLengthSize)
        return false;
    const std::size_t compressedSize = buffer.Size() - kLengthSize;
    if (compressedSize > std::numeric_limits<uLong>::max())
        return false;
    const std::uint32_t length = GetLength(buffer.Data());
    if (!PlausibleLength(length, compressedSize))
        return false;
    // Both terms are bounded above, so neither the sum nor uLong can wrap.
    const uLong room = static_cast<uLong>(length) + kOutputSlack;
    UIOBuffer out;
    if (!out.Resize(room))
        return false;
    uLongf unpacked = room;
    if (uncompress(out.Data(), &unpacked, buffer.Data() + kLengthSize,
                   static_cast<uLong>(compressedSize)) != Z_OK)
        return false;
    if (!out.Resize(unpacked))
        return false;
    buffer = std::move(out);
    return true;
}
