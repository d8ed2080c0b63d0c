#include "utils/Diagnostics/DiagnosticLine.h"

#include <gtest/gtest.h>

namespace {

TEST(DiagnosticLine, AssertTextCarriesTheMessageOnlyWhenGiven) {
    EXPECT_EQ("*** Assert", diagnostic::AssertText(nullptr));
    EXPECT_EQ("*** Assert: NULL pointer", diagnostic::AssertText("NULL pointer"));
    EXPECT_EQ("*** Assert: ", diagnostic::AssertText(""));
}

TEST(DiagnosticLine, SourceFileNameTakesEitherSlash) {
    EXPECT_EQ("UFile.cpp", diagnostic::SourceFileName("/work/utils/File/UFile.cpp"));
    EXPECT_EQ("UFile.cpp", diagnostic::SourceFileName("C:\\src\\utils/File\\UFile.cpp"));
    EXPECT_EQ("", diagnostic::SourceFileName("UFile.cpp"));  // no separator: no name
    EXPECT_EQ("", diagnostic::SourceFileName("C:\\src\\"));
    EXPECT_EQ("", diagnostic::SourceFileName(nullptr));
}

TEST(DiagnosticLine, TimestampIsTheLocalTimeThenElapsedMilliseconds) {
    std::tm local = {};
    local.tm_year = 107;  // 2007
    local.tm_mon = 2;
    local.tm_mday = 4;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 7;
    EXPECT_EQ("03/04/07 09:05:07/0", diagnostic::FormatTimestamp(local, 0));
    EXPECT_EQ("03/04/07 09:05:07/123456", diagnostic::FormatTimestamp(local, 123456));
}

TEST(DiagnosticLine, LineFollowsTheFixedFormat) {
    EXPECT_EQ("03/04/07 09:05:07/12 00000abc UFile.cpp::UFile::ReadFile,88: *** Assert: File size error",
              diagnostic::FormatLine("03/04/07 09:05:07/12", 0xabc, "UFile.cpp", "UFile::ReadFile", 88,
                                     "*** Assert: File size error"));
    EXPECT_EQ("t ffffffff ::,-1: ", diagnostic::FormatLine("t", 0xffffffffu, "", nullptr, -1, ""));
}

TEST(DiagnosticLine, ToolPayloadIsLittleEndianLevelLineAndZero) {
    const std::vector<std::uint8_t> payload = diagnostic::ToolPayload(32, "abc");
    const std::vector<std::uint8_t> expected = {32, 0, 0, 0, 'a', 'b', 'c', 0};
    EXPECT_EQ(expected, payload);
    const std::vector<std::uint8_t> negative = diagnostic::ToolPayload(-2, "");
    const std::vector<std::uint8_t> expectedNegative = {0xfe, 0xff, 0xff, 0xff, 0};
    EXPECT_EQ(expectedNegative, negative);
}

}  // namespace
