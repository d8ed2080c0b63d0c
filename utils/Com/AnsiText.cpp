#include "utils/Com/AnsiText.h"

#include <windows.h>

#include <climits>
#include <new>

namespace win {

std::wstring AnsiToWide(const std::string& text) {
    return AnsiToWide(text.data(), text.size());
}

std::wstring AnsiToWide(const char* text, std::size_t length) {
    if (!text || length == 0)
        return std::wstring();
    if (length > INT_MAX)
        throw std::bad_alloc();
    const int count = static_cast<int>(length);
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, text, count, nullptr, 0);
    if (needed <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int written = ::MultiByteToWideChar(CP_ACP, 0, text, count, &wide[0], needed);
    wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return wide;
}

std::string WideToAnsi(const wchar_t* text, std::size_t length) {
    if (!text || length == 0)
        return std::string();
    if (length > INT_MAX)
        throw std::bad_alloc();
    const int count = static_cast<int>(length);
    const int needed = ::WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string ansi(static_cast<std::size_t>(needed), '\0');
    const int written =
        ::WideCharToMultiByte(CP_ACP, 0, text, count, &ansi[0], needed, nullptr, nullptr);
    ansi.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return ansi;
}

}  // namespace win
