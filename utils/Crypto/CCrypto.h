// One reversible transformation of a byte buffer, applied in place. The
// cipher of script files and of the exploit list is a chain of these.
#pragma once

#include "utils/Buffer/UIOBuffer.h"

class CCrypto {
public:
    virtual ~CCrypto() = default;

    // Both leave the buffer unchanged when they return false. A stage that
    // has nothing to do in one direction keeps these defaults.
    virtual bool Encrypt(UIOBuffer& buffer);
    virtual bool Decrypt(UIOBuffer& buffer);

protected:
    CCrypto() = default;
    CCrypto(const CCrypto&) = default;
    CCrypto& operator=(const CCrypto&) = default;
};
