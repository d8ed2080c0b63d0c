// The compression stage: a 4-byte little-endian length of the text, then its
// zlib stream at level 9. Decrypt trusts nothing in a file: the stored length
// is checked before any memory is taken for it.
#pragma once

#include "utils/Crypto/CCrypto.h"

#include <cstdint>

class CDeflateCrypto : public CCrypto {
public:
    // Largest text either direction handles. Script files and the exploit
    // list are far below it; a file claiming more is damaged or hostile.
    static constexpr std::uint32_t kMaxTextSize = 64u * 1024u * 1024u;
    // Deflate never expands more than this per compressed byte, so a stored
    // length beyond it cannot be the length of what the stream holds.
    static constexpr std::uint64_t kMaxExpansion = 1032;
    // Slack past the stored length given to the decompressor.
    static constexpr std::uint32_t kOutputSlack = 100;

    // False, with the buffer unchanged, on a zlib error or a text larger
    // than kMaxTextSize.
    bool Encrypt(UIOBuffer& buffer) override;
    // False, with the buffer unchanged, for a buffer of 3 bytes or fewer, a
    // stored length that cannot be right, or a stream that does not inflate
    // into the stored length plus kOutputSlack bytes.
    bool Decrypt(UIOBuffer& buffer) override;
};
