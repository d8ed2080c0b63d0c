// UMD5 on the platform's CryptoAPI (present on every Windows the add-on
// supports): one verification-only provider context and one hash per run.
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Hash/UMD5.h"

#include <windows.h>
#include <wincrypt.h>

#include <limits>

struct UMD5::Context {
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    ~Context() {
        if (hash)
            ::CryptDestroyHash(hash);
        if (provider)
            ::CryptReleaseContext(provider, 0);
    }
};

UMD5::UMD5() : context_(new Context) {
    if (!::CryptAcquireContextA(&context_->provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
        context_->provider = 0;
        REPORT_ASSERT("UMD5::UMD5", "MD5 not available");
        return;
    }
    Reset();
}

UMD5::~UMD5() = default;

void UMD5::Reset() {
    if (context_->hash) {
        ::CryptDestroyHash(context_->hash);
        context_->hash = 0;
    }
    if (context_->provider && !::CryptCreateHash(context_->provider, CALG_MD5, 0, 0, &context_->hash))
        context_->hash = 0;
}

void UMD5::Update(const void* data, std::size_t size) {
    if (!data || size == 0 || !context_->hash)
        return;
    const auto* bytes = static_cast<const BYTE*>(data);
    // CryptHashData takes 32-bit counts; a 64-bit caller may hand more.
    constexpr std::size_t kMostAtOnce = std::numeric_limits<DWORD>::max() & ~std::size_t{63};
    while (size > 0) {
        const DWORD piece = static_cast<DWORD>(size < kMostAtOnce ? size : kMostAtOnce);
        if (!::CryptHashData(context_->hash, bytes, piece, 0))
            return;
        bytes += piece;
        size -= piece;
    }
}

std::array<std::uint8_t, 16> UMD5::Final() {
    std::array<std::uint8_t, 16> digest{};
    if (!context_->hash)
        return digest;
    DWORD size = static_cast<DWORD>(digest.size());
    if (!::CryptGetHashParam(context_->hash, HP_HASHVAL, digest.data(), &size, 0) || size != digest.size())
        digest.fill(0);
    ::CryptDestroyHash(context_->hash);
    context_->hash = 0;
    return digest;
}

bool UMD5::Ready() const {
    return context_->hash != 0;
}
