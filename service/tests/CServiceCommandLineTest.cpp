#include "service/CServiceCommandLine.h"

#include <gtest/gtest.h>

namespace {

using Action = CServiceCommandLine::Action;

TEST(ServiceCommandLine, SwitchesAndPaths) {
    EXPECT_EQ(Action::Run, CServiceCommandLine("").GetAction());
    EXPECT_EQ(Action::Run, CServiceCommandLine("   ").GetAction());
    EXPECT_EQ(Action::Stop, CServiceCommandLine("/stop").GetAction());
    EXPECT_EQ(Action::Stop, CServiceCommandLine(" -STOP ").GetAction());

    const CServiceCommandLine quoted("/ratings \"C:\\My Data\\ratings.txt\"");
    EXPECT_EQ(Action::Run, quoted.GetAction());
    EXPECT_EQ("C:\\My Data\\ratings.txt", quoted.RatingsPath());
    EXPECT_EQ("d:\\r.txt", CServiceCommandLine("/Ratings d:\\r.txt").RatingsPath());
}

TEST(ServiceCommandLine, MistakesAreInvalidWithAReason) {
    for (const char* wrong : {"/ratings", "/ratings \"\"", "/start", "ratings.txt", "/stop /ratings x.txt"}) {
        const CServiceCommandLine commandLine(wrong);
        EXPECT_EQ(Action::Invalid, commandLine.GetAction()) << wrong;
        EXPECT_FALSE(commandLine.Error().empty()) << wrong;
    }
}

}  // namespace
