// Times in message traces: seconds since 1970 shown in local time.
#pragma once

#include <cstdint>
#include <string>

// "%a, %d %b %Y %H:%M:%S" of the local time.
std::string FormatLocalTime(std::int64_t secondsSince1970);
