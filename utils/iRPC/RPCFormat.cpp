#include "utils/iRPC/RPCFormat.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string FormatText(const char* format, ...) {
    if (!format)
        return std::string();
    va_list arguments;
    va_start(arguments, format);
    va_list measure;
    va_copy(measure, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        std::vector<char> out(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(out.data(), out.size(), format, arguments);
        text.assign(out.data(), static_cast<std::size_t>(length));
    }
    va_end(arguments);
    return text;
}
