// Ownership of one BSTR: freed with SysFreeString when replaced or destroyed.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace win {

class ScopedBstr {
public:
    ScopedBstr() noexcept = default;
    // A copy of the wide text; throws std::bad_alloc when it cannot be made.
    explicit ScopedBstr(const std::wstring& text);
    // Adopts a BSTR the caller owns.
    static ScopedBstr Adopt(BSTR value) noexcept;

    ScopedBstr(ScopedBstr&& other) noexcept;
    ScopedBstr& operator=(ScopedBstr&& other) noexcept;
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ~ScopedBstr() { Reset(); }

    // The BSTR itself, for "in" parameters; null when empty.
    BSTR Get() const noexcept { return value_; }
    // Characters, embedded zeros included (0 when empty).
    UINT Length() const noexcept { return ::SysStringLen(value_); }

    // For "out" parameters: frees the current string first.
    BSTR* Receive() noexcept;
    // Hands the string to the caller, who must free it.
    BSTR Release() noexcept;
    void Reset(BSTR value = nullptr) noexcept;

private:
    BSTR value_ = nullptr;
};

}  // namespace win
