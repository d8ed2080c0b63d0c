#include "utils/iRPC/RPCMarshal.h"

#include <algorithm>
#include <climits>

namespace {

constexpr char kPercent = '%';
constexpr char kPercentEscape[] = "$PER$";
constexpr std::size_t kPercentEscapeLength = sizeof(kPercentEscape) - 1;

std::string EscapePercent(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        if (c == kPercent)
            escaped.append(kPercentEscape, kPercentEscapeLength);
        else
            escaped.push_back(c);
    }
    return escaped;
}

std::string UnescapePercent(const std::string& text) {
    std::string plain;
    plain.reserve(text.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t found = text.find(kPercentEscape, from, kPercentEscapeLength);
        if (found == std::string::npos)
            break;
        plain.append(text, from, found - from);
        plain.push_back(kPercent);
        from = found + kPercentEscapeLength;
    }
    plain.append(text, from, std::string::npos);
    return plain;
}

}  // namespace

void MarshalInt(bool reading, UIOBuffer& buffer, std::int32_t& value) {
    if (reading)
        ReadInt32(buffer, value);
    else
        WriteInt32(buffer, value);
}

void MarshalBool(bool reading, UIOBuffer& buffer, bool& value) {
    if (!reading) {
        const std::uint8_t byte = value ? 1 : 0;
        buffer.Write(&byte, 1);
        return;
    }
    std::uint8_t byte = 0;
    value = buffer.Read(&byte, 1) == 1 && byte != 0;
}

void MarshalString(bool reading, UIOBuffer& buffer, std::string& text) {
    if (reading)
        text = UnescapePercent(buffer.ReadString());
    else
        buffer.WriteString(EscapePercent(text));
}

void MarshalStringArray(bool reading, UIOBuffer& buffer, std::vector<std::string>& items) {
    if (!reading) {
        const auto count = static_cast<std::int32_t>(std::min<std::size_t>(items.size(), INT32_MAX));
        WriteInt32(buffer, count);
        for (std::int32_t i = 0; i < count; ++i)
            buffer.WriteString(items[static_cast<std::size_t>(i)]);
        return;
    }
    std::int32_t count = 0;
    ReadInt32(buffer, count);
    // The count comes from the other process: it bounds the loop but never
    // sizes anything, and the payload's end stops the loop first. Every item
    // consumes at least one byte, so a lying count costs at most one pass
    // over the payload.
    for (std::int32_t i = 0; i < count && buffer.Remaining() > 0; ++i)
        items.push_back(buffer.ReadString());
}
