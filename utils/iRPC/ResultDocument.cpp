#include "utils/iRPC/ResultDocument.h"

#include "utils/iRPC/StringTable.h"
#include "utils/iRPC/Verdict.h"
#include "utils/iRPC/VerdictUsage.h"

#include <algorithm>
#include <ctime>

namespace {
// A result is trusted for an hour at most, whatever the document says.
constexpr std::uint32_t kLongestLifeSeconds = 3600;
}

bool ReadExpiry(const CXMLNode& info, std::int32_t& expiry) {
    const auto now = static_cast<std::uint32_t>(std::time(nullptr));
    const auto announced = static_cast<std::uint32_t>(info.GetAttributeInt("expires"));
    const std::uint32_t clamped = std::min(announced, now + kLongestLifeSeconds);
    expiry = static_cast<std::int32_t>(clamped);
    if (now > clamped) {
        CountExpiredDocument();
        return false;
    }
    return true;
}

bool ReadVerdictElement(const CXMLNode* element, std::int32_t& code, std::int32_t* color,
                        std::string& description) {
    if (!element)
        return false;
    code = StringToIndex(element->GetAttribute("code").c_str(), kVerdictCodeNames);
    if (color) {
        const std::string colorName = element->GetAttribute("color");
        *color = colorName.empty() ? COLOR_NONE : StringToIndex(colorName.c_str(), kVerdictColorNames);
    }
    description = element->ChildText("description");
    return true;
}
