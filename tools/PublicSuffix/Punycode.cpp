#include "tools/PublicSuffix/Punycode.h"

#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t kBase = 36;
constexpr std::uint32_t kTMin = 1;
constexpr std::uint32_t kTMax = 26;
constexpr std::uint32_t kSkew = 38;
constexpr std::uint32_t kDamp = 700;
constexpr std::uint32_t kInitialBias = 72;
constexpr std::uint32_t kInitialN = 128;

bool DecodeUtf8(std::string_view text, std::vector<std::uint32_t>& codePoints) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t value = 0;
        if (lead < 0x80) {
            length = 1;
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            value = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (next & 0x3F);
        }
        // Overlong forms and surrogates would give two spellings of one label.
        static const std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        codePoints.push_back(value);
        i += length;
    }
    return true;
}

char Digit(std::uint32_t d) { return static_cast<char>(d < 26 ? 'a' + d : '0' + (d - 26)); }

std::uint32_t Adapt(std::uint32_t delta, std::uint32_t points, bool first) {
    delta = first ? delta / kDamp : delta / 2;
    delta += delta / points;
    std::uint32_t k = 0;
    while (delta > ((kBase - kTMin) * kTMax) / 2) {
        delta /= kBase - kTMin;
        k += kBase;
    }
    return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
}

}  // namespace

bool ToAsciiLabel(std::string_view utf8Label, std::string& ascii) {
    std::vector<std::uint32_t> input;
    if (!DecodeUtf8(utf8Label, input))
        return false;
    std::string output;
    for (const std::uint32_t c : input) {
        if (c < 0x80)
            output.push_back(static_cast<char>(c));
    }
    const auto basic = static_cast<std::uint32_t>(output.size());
    if (basic == input.size()) {
        ascii = std::move(output);
        return true;
    }
    if (basic > 0)
        output.push_back('-');

    std::uint32_t n = kInitialN;
    std::uint32_t delta = 0;
    std::uint32_t bias = kInitialBias;
    std::uint32_t handled = basic;
    while (handled < input.size()) {
        std::uint32_t next = UINT32_MAX;
        for (const std::uint32_t c : input) {
            if (c >= n && c < next)
                next = c;
        }
        if (next - n > (UINT32_MAX - delta) / (handled + 1))
            return false;
        delta += (next - n) * (handled + 1);
        n = next;
        for (const std::uint32_t c : input) {
            if (c < n && ++delta == 0)
                return false;
            if (c != n)
                continue;
            std::uint32_t q = delta;
            for (std::uint32_t k = kBase;; k += kBase) {
                const std::uint32_t t = k <= bias ? kTMin : (k >= bias + kTMax ? kTMax : k - bias);
                if (q < t)
                    break;
                output.push_back(Digit(t + (q - t) % (kBase - t)));
                q = (q - t) / (kBase - t);
            }
            output.push_back(Digit(q));
            bias = Adapt(delta, handled + 1, handled == basic);
            delta = 0;
            ++handled;
        }
        ++delta;
        ++n;
    }
    ascii = "xn--" + output;
    return true;
}
