#include "tools/PublicSuffix/Punycode.h"

#include <gtest/gtest.h>

namespace {

TEST(Punycode, LabelsTakeTheirAsciiForm) {
    const struct {
        const char* label;
        const char* ascii;
    } cases[] = {
        {"example", "example"},
        {"\xe5\x85\xac\xe5\x8f\xb8", "xn--55qx5d"},              // from the list's own tests
        {"\xe4\xb8\xad\xe5\x9b\xbd", "xn--fiqs8s"},
        {"\xe9\xa3\x9f\xe7\x8b\xae", "xn--85x722f"},
        {"b\xc3\xbc" "cher", "xn--bcher-kva"},                    // RFC 3492's usual example
        {"\xd0\xbc\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0", "xn--80adxhks"},
        {"a\xf0\x9f\x98\x80", "xn--a-jv3s"},                      // outside the basic plane
    };
    for (const auto& test : cases) {
        std::string ascii;
        ASSERT_TRUE(ToAsciiLabel(test.label, ascii)) << test.ascii;
        EXPECT_EQ(test.ascii, ascii);
    }
}

TEST(Punycode, MalformedUtf8IsRefused) {
    std::string ascii;
    for (const char* bad : {"\xff", "a\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xe4\xb8"})
        EXPECT_FALSE(ToAsciiLabel(bad, ascii)) << bad;
}

}  // namespace
