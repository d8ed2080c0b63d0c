#include "utils/Crypto/CXORCrypto.h"

#include "utils/Diagnostics/ReportAssert.h"

void CXORCrypto::SetKey(const void* key, std::int32_t length) {
    key_.Clear();
    if (!key || length <= 0) {
        REPORT_ASSERT("CXORCrypto::SetKey", "Bogus key");
        return;
    }
    key_.Assign(key, static_cast<std::size_t>(length));
}

bool CXORCrypto::Encrypt(UIOBuffer& buffer) {
    if (key_.Empty()) {
        REPORT_ASSERT("CXORCrypto::Encrypt", "Empty key");
        return false;
    }
    std::uint8_t* bytes = buffer.Data();
    const std::uint8_t* key = key_.Data();
    const std::size_t keyLength = key_.Size();
    const std::size_t size = buffer.Size();
    for (std::size_t i = 0, k = 0; i < size; ++i) {
        bytes[i] ^= key[k];
        if (++k == keyLength)
            k = 0;
    }
    return true;
}
