#include "utils/URL/RegExText.h"

#include "ReportProbe.h"

#include <gtest/gtest.h>

namespace {

TEST(TranslateRegEx, ExchangesRoundAndCurlyBrackets) {
    EXPECT_EQ("(a){b}", TranslateRegEx("{a}(b)"));
    EXPECT_EQ("^(www\\.)?ex[a-z]{2,3}\\.com$", TranslateRegEx("^{www\\.}?ex[a-z](2,3)\\.com$"));
    EXPECT_EQ("", TranslateRegEx(""));
    const std::string withZero("a\0(b", 4);
    EXPECT_EQ(std::string("a\0{b", 4), TranslateRegEx(withZero));
}

TEST(TranslateRegEx, TranslatingTwiceGivesTheTextBack) {
    const std::string text = "x({[]})\t(y)}{";
    EXPECT_EQ(text, TranslateRegEx(TranslateRegEx(text)));
}

TEST(TranslateRegEx, NullTextIsReportedAndYieldsNothing) {
    ReportProbe probe;
    EXPECT_EQ("", TranslateRegEx(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(probe.Reported("TranslateRegEx", "NULL pointer"));
}

}  // namespace
