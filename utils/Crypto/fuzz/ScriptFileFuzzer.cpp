// Feeds arbitrary bytes to the script-file chain as if they were a ".mrg"
// file read from disk. Whatever deciphers must be a text the cipher could
// have written: within the size limit and enciphering back to itself.
#include "utils/Crypto/CDeflateCrypto.h"
#include "utils/Crypto/ScriptKey.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CCryptoChain chain = MakeScriptCryptoChain();
    UIOBuffer buffer(data, size);
    if (!chain.Decrypt(buffer)) {
        if (buffer.Size() != size || (size && std::memcmp(buffer.Data(), data, size) != 0))
            std::abort();  // a failed read must leave the bytes as they were
        return 0;
    }
    if (buffer.Size() > CDeflateCrypto::kMaxTextSize)
        std::abort();
    UIOBuffer again = buffer;
    if (!chain.Encrypt(again) || !chain.Decrypt(again))
        std::abort();
    if (again.Size() != buffer.Size() ||
        (buffer.Size() && std::memcmp(again.Data(), buffer.Data(), buffer.Size()) != 0))
        std::abort();
    return 0;
}
