#include "utils/Com/ScopedBstr.h"

#include <climits>
#include <new>
#include <utility>

namespace win {

ScopedBstr::ScopedBstr(const std::wstring& text) {
    if (text.size() > UINT_MAX / sizeof(wchar_t))
        throw std::bad_alloc();
    value_ = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!value_)
        throw std::bad_alloc();
}

ScopedBstr ScopedBstr::Adopt(BSTR value) noexcept {
    ScopedBstr owned;
    owned.value_ = value;
    return owned;
}

ScopedBstr::ScopedBstr(ScopedBstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}

ScopedBstr& ScopedBstr::operator=(ScopedBstr&& other) noexcept {
    if (this != &other)
        Reset(std::exchange(other.value_, nullptr));
    return *this;
}

BSTR* ScopedBstr::Receive() noexcept {
    Reset();
    return &value_;
}

BSTR ScopedBstr::Release() noexcept {
    return std::exchange(value_, nullptr);
}

void ScopedBstr::Reset(BSTR value) noexcept {
    BSTR old = std::exchange(value_, value);
    if (old && old != value)
        ::SysFreeString(old);
}

}  // namespace win
