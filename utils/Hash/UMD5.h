// MD5 checksums (RFC 1321) of downloads, by which the rating service knows
// files. Fed piece by piece, as data passes through, never copied.
//
// The arithmetic is not ours: every download byte passes through it, so it
// is the platform's (CryptoAPI on Windows) or OpenSSL's on other hosts, both
// faster than anything portable we could keep.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class UMD5 {
public:
    UMD5();
    ~UMD5();
    UMD5(const UMD5&) = delete;
    UMD5& operator=(const UMD5&) = delete;

    void Reset();
    void Update(const void* data, std::size_t size);
    // The digest of everything fed since the last Reset. Ends the run: feed
    // again only after Reset. All zero bytes when the implementation could
    // not be set up (reported once, at construction).
    std::array<std::uint8_t, 16> Final();
    // Final() as 32 lower-case hexadecimal digits; empty when the
    // implementation could not be set up, so that no made-up digest is ever
    // asked about.
    std::string FinalHex();

    static std::string HexOf(const void* data, std::size_t size);

private:
    // Whether a run is open: set up, and not ended by Final.
    bool Ready() const;

    struct Context;
    std::unique_ptr<Context> context_;
};
