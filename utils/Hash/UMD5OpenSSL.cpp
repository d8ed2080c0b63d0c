// UMD5 on OpenSSL's libcrypto, whose MD5 is hand-written assembly on the
// common hosts.
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Hash/UMD5.h"

#include <openssl/evp.h>

struct UMD5::Context {
    EVP_MD_CTX* digest = EVP_MD_CTX_new();
    bool ready = false;
    ~Context() { EVP_MD_CTX_free(digest); }
};

UMD5::UMD5() : context_(new Context) {
    Reset();
    if (!context_->ready)
        REPORT_ASSERT("UMD5::UMD5", "MD5 not available");
}

UMD5::~UMD5() = default;

void UMD5::Reset() {
    context_->ready = context_->digest && EVP_DigestInit_ex(context_->digest, EVP_md5(), nullptr) == 1;
}

void UMD5::Update(const void* data, std::size_t size) {
    if (!data || size == 0 || !context_->ready)
        return;
    EVP_DigestUpdate(context_->digest, data, size);
}

std::array<std::uint8_t, 16> UMD5::Final() {
    std::array<std::uint8_t, 16> digest{};
    if (!context_->ready)
        return digest;
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(context_->digest, digest.data(), &size) != 1 || size != digest.size())
        digest.fill(0);
    context_->ready = false;
    return digest;
}

bool UMD5::Ready() const {
    return context_->ready;
}
