// Letter case of host names and list entries: ASCII only, whatever the
// locale, so "I" never becomes a dotless i under a Turkish code page.
#pragma once

#include <string>
#include <string_view>

inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = LowerAscii(c);
    return lower;
}
