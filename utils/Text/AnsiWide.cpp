#include "utils/Text/AnsiWide.h"

#include <windows.h>

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], length);
    return wide;
}

std::string WideToAnsi(const wchar_t* text, int length) {
    if (!text || length == 0)
        return std::string();
    if (length < 0)
        length = static_cast<int>(::wcslen(text));
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, length, &narrow[0], size, nullptr, nullptr);
    return narrow;
}

std::string WideToAnsi(const std::wstring& text) {
    return WideToAnsi(text.c_str(), static_cast<int>(text.size()));
}
