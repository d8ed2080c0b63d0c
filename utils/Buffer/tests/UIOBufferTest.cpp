#include "utils/Buffer/UIOBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::string Bytes(const UBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

TEST(UIOBuffer, WritesGrowTheBlockToExactlyWhatIsNeeded) {
    UIOBuffer buffer;
    EXPECT_EQ(3, buffer.Write("abc", 3));
    EXPECT_EQ(3u, buffer.Size());
    buffer.SetPosition(1);
    EXPECT_EQ(1, buffer.Write("X", 1));  // inside the block: no growth
    EXPECT_EQ("aXc", Bytes(buffer));
    EXPECT_EQ(4, buffer.Write("1234", 4));
    EXPECT_EQ("aX1234", Bytes(buffer));
    EXPECT_EQ(6, buffer.Position());
    EXPECT_EQ(0, buffer.Write("x", 0));
    EXPECT_EQ(0, buffer.Write(nullptr, 1));
}

TEST(UIOBuffer, ReadsStopAtTheEnd) {
    UIOBuffer buffer("hello", 5);
    char out[8] = {};
    EXPECT_EQ(3, buffer.Read(out, 3));
    EXPECT_EQ(2, buffer.Read(out, 8));
    EXPECT_EQ(0, buffer.Read(out, 8));
    EXPECT_EQ(0, buffer.Read(nullptr, 1));
    EXPECT_EQ(5, buffer.Position());
}

// A negative count is nothing to read: read as a size it would copy the
// whole rest of the buffer into a caller's block sized for none of it.
TEST(UIOBuffer, NegativeOrZeroCountsReadNothing) {
    for (const std::int32_t count : {-1, -5, INT32_MIN, 0}) {
        UIOBuffer buffer("hello", 5);
        char out[8] = {'-', '-', '-', '-', '-', '-', '-', '-'};
        EXPECT_EQ(0, buffer.Read(out, count)) << count;
        EXPECT_EQ(0, buffer.Position()) << count;
        EXPECT_EQ(std::string(8, '-'), std::string(out, 8)) << count;
    }
}

TEST(UIOBuffer, CopiesAreIndependent) {
    UIOBuffer original("abc", 3);
    UIOBuffer copy = original;
    copy.Write("Z", 1);
    EXPECT_EQ("abc", Bytes(original));
    EXPECT_EQ("Zbc", Bytes(copy));
}

TEST(UIOBuffer, StringsAreLengthThenBytesAndShortOnesAreCut) {
    UIOBuffer buffer;
    buffer.WriteString("abc");
    buffer.WriteString("");
    EXPECT_EQ(std::string("\x03\0\0\0abc\0\0\0\0", 11), Bytes(buffer));
    buffer.Rewind();
    EXPECT_EQ("abc", buffer.ReadString());
    EXPECT_EQ("", buffer.ReadString());
    EXPECT_EQ("", buffer.ReadString());  // nothing left

    const char announcedTen[] = "\x0a\0\0\0abc";
    UIOBuffer cut(announcedTen, 7);
    EXPECT_EQ("abc", cut.ReadString());
    const char negative[] = "\xff\xff\xff\xff" "abc";
    UIOBuffer bad(negative, 7);
    EXPECT_EQ("", bad.ReadString());
}

TEST(UIOBuffer, IntegersAreLittleEndianAndPartialOnesReadZero) {
    UIOBuffer buffer;
    WriteInt32(buffer, -2);
    WriteInt32(buffer, 0x01020304);
    EXPECT_EQ(std::string("\xfe\xff\xff\xff\x04\x03\x02\x01", 8), Bytes(buffer));
    buffer.Rewind();
    std::int32_t value = 7;
    EXPECT_TRUE(ReadInt32(buffer, value));
    EXPECT_EQ(-2, value);
    EXPECT_TRUE(ReadInt32(buffer, value));
    EXPECT_EQ(0x01020304, value);

    UIOBuffer partial("\x01\x02", 2);
    EXPECT_FALSE(ReadInt32(partial, value));
    EXPECT_EQ(0, value);
}

TEST(UIOBuffer, LinesEndAtCarriageReturnAndSkipTheNextByte) {
    const char text[] = "first\r\nsecond\r\n\r\nlast";
    UIOBuffer buffer(text, std::strlen(text));
    EXPECT_EQ("first", buffer.ReadLine());
    EXPECT_EQ("second", buffer.ReadLine());
    EXPECT_EQ("", buffer.ReadLine());
    EXPECT_EQ("last", buffer.ReadLine());
    EXPECT_EQ("", buffer.ReadLine());

    UIOBuffer trailing("end\r", 4);  // the byte after the CR is missing
    EXPECT_EQ("end", trailing.ReadLine());
    EXPECT_EQ(4, trailing.Position());
}

}  // namespace
