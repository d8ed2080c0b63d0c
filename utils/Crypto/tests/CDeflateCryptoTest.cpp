#include "utils/Crypto/CDeflateCrypto.h"

#include "AllocationProbe.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

std::string Bytes(const UBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

UIOBuffer FromString(const std::string& text) {
    return UIOBuffer(text.data(), text.size());
}

std::string Text(std::size_t size) {
    std::string text;
    std::mt19937 random(7);
    while (text.size() < size)
        text += "word" + std::to_string(random() % 997) + (random() % 5 ? " " : "\r\n");
    text.resize(size);
    return text;
}

void StoreLength(UIOBuffer& file, std::uint32_t length) {
    for (int i = 0; i < 4; ++i)
        file.Data()[i] = static_cast<std::uint8_t>(length >> (8 * i));
}

TEST(CDeflateCrypto, FileIsLittleEndianLengthThenLevelNineZlibStream) {
    const std::string text = Text(5000);
    UIOBuffer file = FromString(text);
    ASSERT_TRUE(CDeflateCrypto().Encrypt(file));

    std::string expected(compressBound(text.size()), '\0');
    uLongf packed = expected.size();
    ASSERT_EQ(Z_OK, compress2(reinterpret_cast<Bytef*>(&expected[0]), &packed,
                              reinterpret_cast<const Bytef*>(text.data()), text.size(), 9));
    expected.resize(packed);
    EXPECT_EQ(std::string("\x88\x13\0\0", 4) + expected, Bytes(file));  // 5000 = 0x1388
}

TEST(CDeflateCrypto, ShortAndDamagedFilesFailUnchanged) {
    for (const std::string& file : {std::string(), std::string("\x05"), std::string("\0\0\0", 3),
                                    std::string("\0\0\0\0", 4)}) {
        UIOBuffer buffer = FromString(file);
        EXPECT_FALSE(CDeflateCrypto().Decrypt(buffer)) << file.size();
        EXPECT_EQ(file, Bytes(buffer));
    }

    UIOBuffer good = FromString(Text(3000));
    ASSERT_TRUE(CDeflateCrypto().Encrypt(good));
    UIOBuffer cut(good.Data(), good.Size() - 5);
    const std::string cutBytes = Bytes(cut);
    EXPECT_FALSE(CDeflateCrypto().Decrypt(cut));
    EXPECT_EQ(cutBytes, Bytes(cut));

    UIOBuffer flipped = good;
    flipped.Data()[flipped.Size() / 2] ^= 0x5a;
    const std::string flippedBytes = Bytes(flipped);
    EXPECT_FALSE(CDeflateCrypto().Decrypt(flipped));
    EXPECT_EQ(flippedBytes, Bytes(flipped));
}

TEST(CDeflateCrypto, StoredLengthMayFallShortByAtMostTheSlack) {
    const std::string text = Text(4000);
    UIOBuffer original = FromString(text);
    ASSERT_TRUE(CDeflateCrypto().Encrypt(original));

    UIOBuffer withinSlack = original;
    StoreLength(withinSlack, 4000 - CDeflateCrypto::kOutputSlack);
    ASSERT_TRUE(CDeflateCrypto().Decrypt(withinSlack));
    EXPECT_EQ(text, Bytes(withinSlack));

    UIOBuffer tooShort = original;
    StoreLength(tooShort, 4000 - CDeflateCrypto::kOutputSlack - 1);
    EXPECT_FALSE(CDeflateCrypto().Decrypt(tooShort));

    UIOBuffer tooLong = original;  // more room than needed: the real count is kept
    StoreLength(tooLong, 9000);
    ASSERT_TRUE(CDeflateCrypto().Decrypt(tooLong));
    EXPECT_EQ(text, Bytes(tooLong));
}

TEST(CDeflateCrypto, HostileLengthsAreRefusedBeforeAnyMemoryIsTaken) {
    UIOBuffer original = FromString(Text(2000));
    ASSERT_TRUE(CDeflateCrypto().Encrypt(original));
    const std::uint32_t beyondRatio =
        static_cast<std::uint32_t>((original.Size() - 4) * CDeflateCrypto::kMaxExpansion + 1);
    for (std::uint32_t length : {0xffffffffu, 0xffffff9du, 0x80000000u,
                                 CDeflateCrypto::kMaxTextSize + 1, beyondRatio}) {
        UIOBuffer file = original;
        StoreLength(file, length);
        const std::string before = Bytes(file);
        allocation_probe::Reset();
        EXPECT_FALSE(CDeflateCrypto().Decrypt(file)) << length;
        EXPECT_LT(allocation_probe::Largest(), 64u * 1024u) << length;
        EXPECT_EQ(before, Bytes(file));
    }
}

TEST(CDeflateCrypto, MostCompressibleTextOfTheLargestSizeStillRoundTrips) {
    // Zeros compress close to deflate's limit, so this is the file the
    // plausibility bound must never refuse.
    const std::string zeros(CDeflateCrypto::kMaxTextSize, '\0');
    UIOBuffer buffer = FromString(zeros);
    ASSERT_TRUE(CDeflateCrypto().Encrypt(buffer));
    ASSERT_TRUE(CDeflateCrypto().Decrypt(buffer));
    EXPECT_EQ(zeros.size(), buffer.Size());
    EXPECT_EQ(zeros, Bytes(buffer));

    UIOBuffer tooLarge = FromString(zeros + '\0');
    EXPECT_FALSE(CDeflateCrypto().Encrypt(tooLarge));
    EXPECT_EQ(zeros.size() + 1, tooLarge.Size());
}

}  // namespace
