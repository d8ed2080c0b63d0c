// The add-on's key for enciphered script files (".mrg"), the exploit list
// and the built-in site list, and the chain that reads and writes them.
// Whatever produces those files must use this same key.
#pragma once

#include "utils/Crypto/CCryptoChain.h"

#include <cstddef>
#include <cstdint>

constexpr std::size_t kScriptKeySize = 64;
extern const std::uint8_t kScriptKey[kScriptKeySize];

// [CDeflateCrypto, CXORCrypto(script key)]: Encrypt compresses then XORs;
// Decrypt undoes the XOR, then decompresses.
CCryptoChain MakeScriptCryptoChain();
