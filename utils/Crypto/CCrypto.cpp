#include "utils/Crypto/CCrypto.h"

bool CCrypto::Encrypt(UIOBuffer&) {
    return true;
}

bool CCrypto::Decrypt(UIOBuffer&) {
    return true;
}
