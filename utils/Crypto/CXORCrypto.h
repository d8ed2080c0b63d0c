// The repeating-key XOR stage: key byte 0 applies to buffer byte 0. XOR is
// its own inverse, so Decrypt is the same operation as Encrypt.
#pragma once

#include "utils/Crypto/CCrypto.h"

#include <cstdint>

class CXORCrypto : public CCrypto {
public:
    CXORCrypto() = default;
    CXORCrypto(const void* key, std::int32_t length) { SetKey(key, length); }

    // Copies the key. A null key or a length of 0 or less is reported
    // ("Bogus key") and leaves the key empty.
    void SetKey(const void* key, std::int32_t length);
    bool HasKey() const { return !key_.Empty(); }

    // False, reported, with the buffer unchanged when there is no key.
    bool Encrypt(UIOBuffer& buffer) override;
    bool Decrypt(UIOBuffer& buffer) override { return Encrypt(buffer); }

private:
    UIOBuffer key_;
};
