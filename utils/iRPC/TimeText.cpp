#include "utils/iRPC/TimeText.h"

#include <ctime>

std::string FormatLocalTime(std::int64_t secondsSince1970) {
    const std::time_t time = static_cast<std::time_t>(secondsSince1970);
    std::tm local = {};
#ifdef _WIN32
    if (localtime_s(&local, &time) != 0)
        return std::string();
#else
    if (!localtime_r(&time, &local))
        return std::string();
#endif
    char text[64] = {};
    if (std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S", &local) == 0)
        return std::string();
    return text;
}
