#include "utils/Diagnostics/DiagnosticLine.h"

#include <cstdio>

namespace diagnostic {

std::string AssertText(const char* message) {
    std::string text = "*** Assert";
    if (message) {
        text += ": ";
        text += message;
    }
    return text;
}

std::string SourceFileName(const char* sourcePath) {
    if (!sourcePath)
        return std::string();
    std::string path = sourcePath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(slash + 1);
}

std::string FormatTimestamp(const std::tm& localTime, std::uint64_t elapsedMilliseconds) {
    char clock[64] = {};
    std::strftime(clock, sizeof clock, "%m/%d/%y %H:%M:%S", &localTime);
    return std::string(clock) + "/" + std::to_string(elapsedMilliseconds);
}

std::string FormatLine(const std::string& timestamp, std::uint32_t threadId,
                       const std::string& fileName, const char* method, int line,
                       const std::string& text) {
    char thread[16] = {};
    std::snprintf(thread, sizeof thread, "%08x", static_cast<unsigned>(threadId));
    std::string result;
    result.reserve(timestamp.size() + fileName.size() + text.size() + 64);
    result += timestamp;
    result += ' ';
    result += thread;
    result += ' ';
    result += fileName;
    result += "::";
    result += method ? method : "";
    result += ',';
    result += std::to_string(line);
    result += ": ";
    result += text;
    return result;
}

std::vector<std::uint8_t> ToolPayload(std::int32_t level, const std::string& line) {
    std::vector<std::uint8_t> payload;
    payload.reserve(4 + line.size() + 1);
    const auto value = static_cast<std::uint32_t>(level);
    for (int shift = 0; shift < 32; shift += 8)
        payload.push_back(static_cast<std::uint8_t>(value >> shift));
    payload.insert(payload.end(), line.begin(), line.end());
    payload.push_back(0);
    return payload;
}

}  // namespace diagnostic
