// Conversion between the add-on's 8-bit text (system ANSI code page) and the
// UTF-16 of COM, scripts and XML. Used only at those boundaries.
#pragma once

#include <string>

namespace win {

// Both throw std::bad_alloc when memory for the result cannot be obtained;
// characters without a form in the other code page become its default
// character ("?"). Embedded zeros are kept.
std::wstring AnsiToWide(const std::string& text);
std::wstring AnsiToWide(const char* text, std::size_t length);
std::string WideToAnsi(const wchar_t* text, std::size_t length);
inline std::string WideToAnsi(const std::wstring& text) { return WideToAnsi(text.data(), text.size()); }

}  // namespace win
