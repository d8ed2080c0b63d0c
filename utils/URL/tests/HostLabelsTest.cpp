#include "utils/URL/HostLabels.h"

#include "ReportProbe.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

TEST(IsSingleNumeric, FirstSignificantCharacterDecides) {
    for (const char* numeric : {"0", "0x1f", "0XA", "0xf", "017", "018", "0z", "255", "25a", "9"})
        EXPECT_TRUE(IsSingleNumeric(numeric)) << numeric;
    for (const char* other : {"0x", "0X", "0xg1", "0x.", "a25", "x1", "-1", " 1", "/"})
        EXPECT_FALSE(IsSingleNumeric(other)) << other;
}

TEST(IsSingleNumeric, NullOrEmptyLabelIsReported) {
    const auto reportedAndFalse = [](auto label) {
        ReportProbe probe;
        const bool numeric = IsSingleNumeric(label);
        return !numeric && probe.Reported("IsSingleNumeric", "NULL or empty string");
    };
    EXPECT_TRUE(reportedAndFalse(""));
    EXPECT_TRUE(reportedAndFalse(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(reportedAndFalse(std::string_view()));
}

// Both directions see the same non-empty labels.
TEST(HostLabels, ReadForwardsAndBackwards) {
    const struct {
        const char* host;
        std::vector<std::string_view> labels;
    } cases[] = {
        {"www.example.com", {"www", "example", "com"}},
        {"..a...b.", {"a", "b"}},
        {"single", {"single"}},
        {"", {}},
        {"...", {}},
    };
    for (const auto& test : cases) {
        const std::string_view host = test.host;
        std::vector<std::string_view> forwards;
        std::size_t position = 0;
        for (auto label = NextHostLabel(host, position); !label.empty(); label = NextHostLabel(host, position))
            forwards.push_back(label);
        std::vector<std::string_view> backwards;
        std::size_t end = host.size();
        for (auto label = PreviousHostLabel(host, end); !label.empty(); label = PreviousHostLabel(host, end))
            backwards.insert(backwards.begin(), label);
        EXPECT_EQ(test.labels, forwards) << test.host;
        EXPECT_EQ(test.labels, backwards) << test.host;
        EXPECT_EQ(0u, end) << test.host;
    }
}

}  // namespace
