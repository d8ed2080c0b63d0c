// printf-style formatting into a std::string, for the one-line texts of the
// message classes and the delivery traces.
#pragma once

#include <string>

#if defined(__GNUC__)
#define QUILLON_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define QUILLON_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

std::string FormatText(const char* format, ...) QUILLON_PRINTF_FORMAT(1, 2);
