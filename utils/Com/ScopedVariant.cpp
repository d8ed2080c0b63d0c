#include "utils/Com/ScopedVariant.h"

#include "utils/Com/ScopedBstr.h"

namespace win {

ScopedVariant::ScopedVariant(const std::wstring& text) {
    ::VariantInit(&value_);
    ScopedBstr copy(text);
    value_.vt = VT_BSTR;
    value_.bstrVal = copy.Release();
}

ScopedVariant::ScopedVariant(LONG number) noexcept {
    ::VariantInit(&value_);
    value_.vt = VT_I4;
    value_.lVal = number;
}

ScopedVariant::ScopedVariant(IDispatch* object) noexcept {
    ::VariantInit(&value_);
    value_.vt = VT_DISPATCH;
    value_.pdispVal = object;
    if (object)
        object->AddRef();
}

ScopedVariant::ScopedVariant(IUnknown* object) noexcept {
    ::VariantInit(&value_);
    value_.vt = VT_UNKNOWN;
    value_.punkVal = object;
    if (object)
        object->AddRef();
}

ScopedVariant::ScopedVariant(ScopedVariant&& other) noexcept : value_(other.value_) {
    ::VariantInit(&other.value_);
}

ScopedVariant& ScopedVariant::operator=(ScopedVariant&& other) noexcept {
    if (this != &other) {
        Reset();
        value_ = other.value_;
        ::VariantInit(&other.value_);
    }
    return *this;
}

VARIANT* ScopedVariant::Receive() noexcept {
    Reset();
    return &value_;
}

VARIANT ScopedVariant::Release() noexcept {
    VARIANT handed = value_;
    ::VariantInit(&value_);
    return handed;
}

HRESULT ScopedVariant::CopyFrom(const VARIANT& source) noexcept {
    VARIANT copy;
    ::VariantInit(&copy);
    // mingw declares the source non-const; VariantCopy only reads it.
    const HRESULT hr = ::VariantCopy(&copy, const_cast<VARIANT*>(&source));
    if (FAILED(hr))
        return hr;
    Reset();
    value_ = copy;
    return S_OK;
}

void ScopedVariant::Reset() noexcept {
    ::VariantClear(&value_);
}

}  // namespace win
