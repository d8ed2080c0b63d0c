// Ownership of one VARIANT: cleared with VariantClear when replaced or
// destroyed, so that strings, interfaces and arrays inside are released.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace win {

class ScopedVariant {
public:
    ScopedVariant() noexcept { ::VariantInit(&value_); }
    // VT_BSTR holding a copy of the text; throws std::bad_alloc when it cannot be made.
    explicit ScopedVariant(const std::wstring& text);
    // VT_I4.
    explicit ScopedVariant(LONG number) noexcept;
    // VT_DISPATCH or VT_UNKNOWN, adding a reference (none when null).
    explicit ScopedVariant(IDispatch* object) noexcept;
    explicit ScopedVariant(IUnknown* object) noexcept;

    ScopedVariant(ScopedVariant&& other) noexcept;
    ScopedVariant& operator=(ScopedVariant&& other) noexcept;
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { Reset(); }

    const VARIANT& Get() const noexcept { return value_; }
    VARTYPE Type() const noexcept { return value_.vt; }

    // For "out" parameters: clears the current value first.
    VARIANT* Receive() noexcept;
    // Hands the value to the caller, who must clear it; this one is left VT_EMPTY.
    VARIANT Release() noexcept;
    // Copies another value in (VariantCopy: a deep copy, references added).
    HRESULT CopyFrom(const VARIANT& source) noexcept;
    void Reset() noexcept;

private:
    VARIANT value_;
};

}  // namespace win
