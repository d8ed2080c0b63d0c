// An ordered chain of owned stages, itself a stage. Encrypt runs the stages
// in the order they were added, Decrypt in the reverse order, so that a
// Decrypt undoes an Encrypt of the same chain.
#pragma once

#include "utils/Crypto/CCrypto.h"

#include <array>
#include <cstddef>
#include <memory>

class CCryptoChain : public CCrypto {
public:
    static constexpr std::size_t kMaxStages = 10;

    CCryptoChain() = default;
    // A moved-from chain is empty (and safe to run).
    CCryptoChain(CCryptoChain&& other) noexcept;
    CCryptoChain& operator=(CCryptoChain&& other) noexcept;

    // Appends a stage and owns it. A null stage, or one beyond the tenth, is
    // reported, not added (the latter destroyed), and gives false.
    bool AddCrypto(std::unique_ptr<CCrypto> stage);
    std::size_t Count() const { return count_; }

    // Both stop at the first stage that fails and return false, leaving the
    // buffer as it was before the call.
    bool Encrypt(UIOBuffer& buffer) override;
    bool Decrypt(UIOBuffer& buffer) override;

private:
    std::array<std::unique_ptr<CCrypto>, kMaxStages> stages_;
    std::size_t count_ = 0;
};
