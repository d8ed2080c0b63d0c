#include "utils/URL/HostLabels.h"

#include "ReportProbe.h"

#include <gtest/gtest.h>

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

}  // namespace
