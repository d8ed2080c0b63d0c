#include "utils/Crypto/CCryptoChain.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <utility>

CCryptoChain::CCryptoChain(CCryptoChain&& other) noexcept
    : stages_(std::move(other.stages_)), count_(std::exchange(other.count_, 0)) {}

CCryptoChain& CCryptoChain::operator=(CCryptoChain&& other) noexcept {
    if (this != &other) {
        stages_ = std::move(other.stages_);
        count_ = std::exchange(other.count_, 0);
    }
    return *this;
}

bool CCryptoChain::AddCrypto(std::unique_ptr<CCrypto> stage) {
    if (!stage) {
        REPORT_ASSERT("CCryptoChain::AddCrypto", "NULL pointer");
        return false;
    }
    if (count_ == kMaxStages) {
        REPORT_ASSERT("CCryptoChain::AddCrypto", "Too many stages");
        return false;
    }
    stages_[count_++] = std::move(stage);
    return true;
}

// Stages work on a copy: a stage that fails after others succeeded must not
// leave a half-transformed buffer behind.
bool CCryptoChain::Encrypt(UIOBuffer& buffer) {
    UIOBuffer work = buffer;
    for (std::size_t i = 0; i < count_; ++i) {
        if (!stages_[i]->Encrypt(work))
            return false;
    }
    buffer = std::move(work);
    return true;
}

bool CCryptoChain::Decrypt(UIOBuffer& buffer) {
    UIOBuffer work = buffer;
    for (std::size_t i = count_; i > 0; --i) {
        if (!stages_[i - 1]->Decrypt(work))
            return false;
    }
    buffer = std::move(work);
    return true;
}
