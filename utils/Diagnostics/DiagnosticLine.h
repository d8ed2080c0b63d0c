// Formatting of diagnostic lines. Kept free of the operating system so that
// the exact text can be built and checked anywhere.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace diagnostic {

// Level carried by every failure report.
constexpr std::int32_t kAssertLevel = 32;
// Level of trace lines (script errors and the like): they reach only the tool.
constexpr std::int32_t kTraceLevel = 16;

// "*** Assert", plus ": " and the message when there is one.
std::string AssertText(const char* message);

// The file name of a source path: "/" taken as "\", cut after the last "\".
std::string SourceFileName(const char* sourcePath);

// "%m/%d/%y %H:%M:%S" of the local time, then "/" and the milliseconds since
// the process took its first timestamp.
std::string FormatTimestamp(const std::tm& localTime, std::uint64_t elapsedMilliseconds);

// "<timestamp> <thread id as %08x> <file>::<method>,<line>: <text>".
std::string FormatLine(const std::string& timestamp, std::uint32_t threadId,
                       const std::string& fileName, const char* method, int line,
                       const std::string& text);

// What the diagnostic tool receives: the level as little-endian int32, then
// the line and its terminating zero.
std::vector<std::uint8_t> ToolPayload(std::int32_t level, const std::string& line);

}  // namespace diagnostic
