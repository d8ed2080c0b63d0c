#include "utils/Crypto/CXORCrypto.h"

#include "ReportProbe.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(const UBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

TEST(CXORCrypto, KeyRepeatsFromByteZeroAndDecryptRestores) {
    const unsigned char key[] = {0x01, 0x02, 0x40};
    CXORCrypto xorStage(key, 3);
    UIOBuffer buffer("aaaaaaa", 7);
    ASSERT_TRUE(xorStage.Encrypt(buffer));
    EXPECT_EQ(std::string("\x60\x63\x21\x60\x63\x21\x60", 7), Bytes(buffer));
    ASSERT_TRUE(xorStage.Decrypt(buffer));
    EXPECT_EQ("aaaaaaa", Bytes(buffer));

    UIOBuffer empty;
    EXPECT_TRUE(xorStage.Encrypt(empty));
    EXPECT_TRUE(empty.Empty());
}

TEST(CXORCrypto, KeyIsCopiedNotReferenced) {
    char key[] = {0x10, 0x20};
    CXORCrypto xorStage(key, 2);
    key[0] = 0x7f;
    UIOBuffer buffer("\0\0", 2);
    ASSERT_TRUE(xorStage.Encrypt(buffer));
    EXPECT_EQ("\x10\x20", Bytes(buffer));
}

TEST(CXORCrypto, EmptyKeyFailsAndLeavesTheBufferAlone) {
    ReportProbe reports;
    CXORCrypto noKey;
    UIOBuffer buffer("plain", 5);
    EXPECT_FALSE(noKey.Encrypt(buffer));
    EXPECT_FALSE(noKey.Decrypt(buffer));
    EXPECT_EQ("plain", Bytes(buffer));
    EXPECT_TRUE(reports.Reported("CXORCrypto::Encrypt", "Empty key"));
}

TEST(CXORCrypto, BogusKeysAreReportedAndEmptyTheKey) {
    const char key[] = "k";
    for (const auto& [bytes, length] : {std::pair<const char*, int>{nullptr, 4},
                                        {key, 0},
                                        {key, -3}}) {
        ReportProbe reports;
        CXORCrypto xorStage(key, 1);
        ASSERT_TRUE(xorStage.HasKey());
        xorStage.SetKey(bytes, length);
        EXPECT_FALSE(xorStage.HasKey());
        UIOBuffer buffer("x", 1);
        EXPECT_FALSE(xorStage.Encrypt(buffer));
        EXPECT_EQ("x", Bytes(buffer));
        EXPECT_TRUE(reports.Reported("CXORCrypto::SetKey", "Bogus key")) << length;
    }
}

}  // namespace
