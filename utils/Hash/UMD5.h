// MD5 checksums (RFC 1321) of downloads, by which the rating service knows
// files. Fed piece by piece, as data passes through.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class UMD5 {
public:
    UMD5() { Reset(); }

    void Reset();
    void Update(const void* data, std::size_t size);
    // The digest of everything fed since the last Reset. Ends the run: feed
    // again only after Reset.
    std::array<std::uint8_t, 16> Final();
    // Final() as 32 lower-case hexadecimal digits.
    std::string FinalHex();

    static std::string HexOf(const void* data, std::size_t size);

private:
    void Transform(const std::uint8_t block[64]);

    std::uint32_t state_[4];
    std::uint64_t length_;  // bytes fed
    std::uint8_t pending_[64];
    std::size_t pendingSize_;
};
