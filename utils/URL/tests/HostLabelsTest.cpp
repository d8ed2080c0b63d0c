#include "utils/URL/HostLabels.h"

#include "ReportProbe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(IsSingleNumeric, FirstSignificantCharacterDecides) {
    for (const char* numeric : {"0", "0x1f", "0XA", "0xf", "017", "018", "0z", "255", "25a", "9"})
        EXPECT_TRUE(IsSingleNumeric(numeric)) << numeric;
    for (const char* other : {"0x", "0X", "0xg1", "0x.", "a25", "x1", "-1", " 1", "/"})
        EXPECT_FALSE(IsSingleNumeric(other)) << other;
}

TEST(IsSingleNumeric, NullOrEmptyLabelIsReported) {
    ReportProbe probe;
    EXPECT_FALSE(IsSingleNumeric(""));
    EXPECT_FALSE(IsSingleNumeric(static_cast<const char*>(nullptr)));
    EXPECT_FALSE(IsSingleNumeric(std::string_view()));
    EXPECT_TRUE(probe.Reported("IsSingleNumeric", "NULL or empty string"));
}

TEST(IsSingleNumeric, AnAnswerIsNotReported) {
    ReportProbe probe;
    EXPECT_TRUE(IsSingleNumeric("1"));
    EXPECT_FALSE(IsSingleNumeric("a"));
    EXPECT_TRUE(probe.Silent());
}

std::vector<std::string> Labels(std::string_view host) {
    std::vector<std::string> labels;
    std::size_t position = 0;
    for (std::string_view label = NextHostLabel(host, position); !label.empty();
         label = NextHostLabel(host, position))
        labels.emplace_back(label);
    return labels;
}

TEST(NextHostLabel, RunsOfDotsSeparateAndEmptyLabelsAreSkipped) {
    using List = std::vector<std::string>;
    EXPECT_EQ((List{"a", "b", "c"}), Labels("a.b.c"));
    EXPECT_EQ((List{"a", "b"}), Labels("..a...b.."));
    EXPECT_EQ((List{"single"}), Labels("single"));
    EXPECT_EQ(List{}, Labels(""));
    EXPECT_EQ(List{}, Labels("...."));
}

}  // namespace
