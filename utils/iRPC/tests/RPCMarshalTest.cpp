#include "utils/iRPC/RPCMarshal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>

namespace {

std::string Bytes(const UBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

std::string ReadBackString(const std::string& wire) {
    UIOBuffer buffer(wire.data(), wire.size());
    std::string text = "untouched";
    MarshalString(true, buffer, text);
    return text;
}

TEST(MarshalString, PercentTravelsEscapedAndItsCountIncludesTheEscape) {
    UIOBuffer buffer;
    std::string text = "a%b%%";
    MarshalString(false, buffer, text);
    EXPECT_EQ(std::string("\x11\0\0\0" "a$PER$b$PER$$PER$", 21), Bytes(buffer));
    buffer.Rewind();
    std::string back;
    MarshalString(true, buffer, back);
    EXPECT_EQ("a%b%%", back);
}

TEST(MarshalString, EscapeInTheSourceTextArrivesAsPercent) {
    UIOBuffer buffer;
    std::string text = "x$PER$y$PE";
    MarshalString(false, buffer, text);
    EXPECT_EQ(std::string("\x0a\0\0\0x$PER$y$PE", 14), Bytes(buffer));
    buffer.Rewind();
    std::string back;
    MarshalString(true, buffer, back);
    EXPECT_EQ("x%y$PE", back);
    EXPECT_EQ("%%", ReadBackString(std::string("\x0a\0\0\0$PER$$PER$", 14)));
    EXPECT_EQ("$%", ReadBackString(std::string("\x06\0\0\0$$PER$", 10)));
}

TEST(MarshalString, ShortPayloadsGiveTheBytesPresent) {
    EXPECT_EQ("abc", ReadBackString(std::string("\x10\0\0\0abc", 7)));
    // An escape cut by the end of the payload stays as it is.
    EXPECT_EQ("a$PE", ReadBackString(std::string("\x06\0\0\0a$PE", 8)));
    EXPECT_EQ("", ReadBackString(std::string("\x03\0", 2)));
    EXPECT_EQ("", ReadBackString(std::string("\xff\xff\xff\xff" "abc", 7)));
    EXPECT_EQ("", ReadBackString(std::string()));
}

TEST(MarshalIntAndBool, WireFormAndShortPayloads) {
    UIOBuffer buffer;
    std::int32_t number = -3;
    bool yes = true;
    bool no = false;
    MarshalInt(false, buffer, number);
    MarshalBool(false, buffer, yes);
    MarshalBool(false, buffer, no);
    EXPECT_EQ(std::string("\xfd\xff\xff\xff\x01\x00", 6), Bytes(buffer));

    UIOBuffer wire("\x05\0\0\0\x07", 5);
    std::int32_t read = 0;
    bool flag = false;
    MarshalInt(true, wire, read);
    MarshalBool(true, wire, flag);
    EXPECT_EQ(5, read);
    EXPECT_TRUE(flag);  // any non-zero byte
    read = 9;
    flag = true;
    MarshalInt(true, wire, read);
    MarshalBool(true, wire, flag);
    EXPECT_EQ(0, read);
    EXPECT_FALSE(flag);
}

TEST(MarshalStringArray, ItemsTravelUnescapedAndAreAppended) {
    UIOBuffer buffer;
    std::vector<std::string> items = {"a%b", "", "$PER$"};
    MarshalStringArray(false, buffer, items);
    EXPECT_EQ(std::string("\x03\0\0\0" "\x03\0\0\0a%b" "\0\0\0\0" "\x05\0\0\0$PER$", 24),
              Bytes(buffer));
    buffer.Rewind();
    std::vector<std::string> back = {"kept"};
    MarshalStringArray(true, buffer, back);
    EXPECT_EQ((std::vector<std::string>{"kept", "a%b", "", "$PER$"}), back);
}

TEST(MarshalStringArray, CountsOfZeroOrLessReadNothing) {
    for (const char* count : {"\0\0\0\0", "\xff\xff\xff\xff"}) {
        std::string wire(count, 4);
        wire += std::string("\x01\0\0\0x", 5);
        UIOBuffer buffer(wire.data(), wire.size());
        std::vector<std::string> items;
        MarshalStringArray(true, buffer, items);
        EXPECT_TRUE(items.empty());
    }
}

TEST(MarshalStringArray, ShortPayloadStopsTheItems) {
    // Two items announced, one and a half present.
    const std::string wire("\x02\0\0\0" "\x02\0\0\0ab" "\x05\0\0\0c", 15);
    UIOBuffer buffer(wire.data(), wire.size());
    std::vector<std::string> items;
    MarshalStringArray(true, buffer, items);
    EXPECT_EQ((std::vector<std::string>{"ab", "c"}), items);
}

TEST(MarshalStringArray, HugeCountEndsWithThePayload) {
    // Two billion items announced in a 12-byte payload: must return at once
    // with only what is there.
    const std::string wire("\x00\x94\x35\x77" "\x00\0\0\0" "\x00\0\0\0", 12);
    UIOBuffer buffer(wire.data(), wire.size());
    std::vector<std::string> items;
    const auto start = std::chrono::steady_clock::now();
    MarshalStringArray(true, buffer, items);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ((std::vector<std::string>{"", ""}), items);
    EXPECT_LE(items.capacity(), 16u);  // never sized from the count

    const std::string maxCount("\xff\xff\xff\x7f", 4);
    UIOBuffer bare(maxCount.data(), maxCount.size());
    items.clear();
    MarshalStringArray(true, bare, items);
    EXPECT_TRUE(items.empty());
}

}  // namespace
