#include "utils/Hash/UMD5.h"

std::string UMD5::FinalHex() {
    if (!Ready())
        return std::string();
    const std::array<std::uint8_t, 16> digest = Final();
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(32);
    for (std::uint8_t byte : digest) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0f];
    }
    return hex;
}

std::string UMD5::HexOf(const void* data, std::size_t size) {
    UMD5 md5;
    md5.Update(data, size);
    return md5.FinalHex();
}
