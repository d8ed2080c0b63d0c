// The built-in site list of a program whose list does not decipher (this
// test program's own resource is plain text).
#include "utils/iRPC/BuiltInSiteList.h"

#include "tests/support/DiagnosticCapture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(BuiltInSiteList, AListThatDoesNotDecipherVouchesForNothingAndIsReportedOnce) {
    testing_support::DiagnosticCapture tool;
    ASSERT_TRUE(tool.IsListening());
    EXPECT_FALSE(IsBuiltInSite("plain.example"));
    EXPECT_FALSE(IsBuiltInSite("other.example"));
    EXPECT_TRUE(tool.Reported("IsBuiltInSite", "Could not decipher the built-in site list"));
    const auto lines = tool.Lines();
    EXPECT_EQ(1, std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
                  return line.find("Could not decipher") != std::string::npos;
              }));
}

}  // namespace
