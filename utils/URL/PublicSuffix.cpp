#include "utils/URL/PublicSuffix.h"

#include "utils/URL/HostLabels.h"

#include <cstdint>

namespace {

// Written by tools/PublicSuffix/MakeSuffixTable.cpp, which describes the layout.
#include "PublicSuffixTable.inc"

constexpr std::uint32_t kFlagRule = 1;
constexpr std::uint32_t kFlagWildcard = 2;
constexpr std::uint32_t kFlagException = 4;

struct NodeView {
    std::uint32_t index;

    std::string_view Label() const {
        const std::uint32_t word = kSuffixNodes[index][0];
        return std::string_view(kSuffixLabels + (word & 0xFFFFF), (word >> 20) & 0x3F);
    }
    std::uint32_t Flags() const { return kSuffixNodes[index][0] >> 26; }
    std::uint32_t FirstChild() const { return kSuffixNodes[index][1] & 0xFFFF; }
    std::uint32_t ChildCount() const { return kSuffixNodes[index][1] >> 16; }
};

unsigned char LowerAscii(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// Orders a host label, read as lower-case, against a rule label: bytes
// unsigned, a prefix first, as the generator sorted them.
int Compare(std::string_view hostLabel, std::string_view ruleLabel) {
    const std::size_t common = hostLabel.size() < ruleLabel.size() ? hostLabel.size() : ruleLabel.size();
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char a = LowerAscii(hostLabel[i]);
        const auto b = static_cast<unsigned char>(ruleLabel[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (hostLabel.size() == ruleLabel.size())
        return 0;
    return hostLabel.size() < ruleLabel.size() ? -1 : 1;
}

// The child of a run of siblings [first, first + count) named label, if any.
bool FindChild(std::uint32_t first, std::uint32_t count, std::string_view label, NodeView& found) {
    std::uint32_t low = first;
    std::uint32_t high = first + count;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        const int order = Compare(label, NodeView{middle}.Label());
        if (order == 0) {
            found = NodeView{middle};
            return true;
        }
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return false;
}

}  // namespace

std::size_t PublicSuffixLength(std::string_view host) {
    // With no rule at all the top-level name is the suffix.
    std::size_t suffix = 1;
    std::uint32_t first = 0;
    std::uint32_t children = kSuffixTopCount;
    bool wildcard = false;
    std::size_t end = host.size();
    std::size_t depth = 0;
    for (std::string_view label = PreviousHostLabel(host, end); !label.empty();
         label = PreviousHostLabel(host, end)) {
        ++depth;
        NodeView node{0};
        const bool found = FindChild(first, children, label, node);
        if (found && (node.Flags() & kFlagException))
            return depth - 1;  // an exception overrides every other rule
        if (wildcard)
            suffix = depth;
        if (!found)
            return suffix;
        if (node.Flags() & kFlagRule)
            suffix = depth;
        wildcard = (node.Flags() & kFlagWildcard) != 0;
        first = node.FirstChild();
        children = node.ChildCount();
    }
    // "*.ck" makes a suffix of one more label than "test.ck" has.
    return wildcard ? depth + 1 : suffix;
}

std::size_t RegistrableDomainLength(std::string_view host) {
    std::size_t count = 0;
    std::size_t position = 0;
    while (!NextHostLabel(host, position).empty())
        ++count;
    const std::size_t suffix = PublicSuffixLength(host);
    return suffix >= count ? count : suffix + 1;
}

std::size_t PublicSuffixRuleCount() { return kSuffixRuleCount; }
