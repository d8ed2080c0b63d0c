// Text of bounded length kept inside its owner, always zero-terminated, so
// that an address costs no allocation and its fields can go straight to C
// interfaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

template <std::size_t Capacity>
class UFixedText {
    static_assert(Capacity <= UINT16_MAX, "length kept in 16 bits");

public:
    UFixedText() { text_[0] = '\0'; }
    // Only the used part is copied: the rest of the block is never read.
    UFixedText(const UFixedText& other) : length_(other.length_) {
        std::memcpy(text_, other.text_, length_ + 1u);
    }
    UFixedText& operator=(const UFixedText& other) {
        length_ = other.length_;
        std::memmove(text_, other.text_, length_ + 1u);
        return *this;
    }

    static constexpr std::size_t kCapacity = Capacity;

    // False, and the text left as it was, when the value does not fit.
    bool Set(std::string_view value) {
        if (value.size() > Capacity)
            return false;
        if (!value.empty())
            std::memcpy(text_, value.data(), value.size());
        text_[value.size()] = '\0';
        length_ = static_cast<std::uint16_t>(value.size());
        return true;
    }
    void Clear() {
        length_ = 0;
        text_[0] = '\0';
    }

    // The view's data() is zero-terminated.
    std::string_view View() const { return std::string_view(text_, length_); }
    std::size_t Length() const { return length_; }
    bool Empty() const { return length_ == 0; }

private:
    std::uint16_t length_ = 0;
    char text_[Capacity + 1];
};
