#include "utils/Hash/UMD5.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Hex(const std::string& text) {
    return UMD5::HexOf(text.data(), text.size());
}

TEST(UMD5, MatchesTheReferenceDigests) {
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", Hex(""));
    EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", Hex("a"));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", Hex("abc"));
    EXPECT_EQ("f96b697d7cb7938d525a2f31aaf161d0", Hex("message digest"));
    EXPECT_EQ("c3fcd3d76192e4007dfb496cca67e13b", Hex("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ("d174ab98d277d9f5a5611c2c9f419d9f",
              Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"));
    EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a",
              Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"));
}

TEST(UMD5, PiecesOfAnySizeGiveTheSameDigest) {
    std::string data;
    for (int i = 0; i < 1000; ++i)
        data += static_cast<char>(i * 7 + 3);
    const std::string whole = Hex(data);
    for (std::size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 200u}) {
        UMD5 md5;
        for (std::size_t at = 0; at < data.size(); at += piece)
            md5.Update(data.data() + at, std::min(piece, data.size() - at));
        EXPECT_EQ(whole, md5.FinalHex()) << piece;
    }
}

TEST(UMD5, PaddingBoundariesAndReset) {
    // 55, 56 and 64 bytes put the length into the same or the next block.
    EXPECT_EQ("ef1772b6dff9a122358552954ad0df65", Hex(std::string(55, 'a')));
    EXPECT_EQ("3b0c8ac703f828b04c6c197006d17218", Hex(std::string(56, 'a')));
    EXPECT_EQ("014842d480b571495a4a0363793f7367", Hex(std::string(64, 'a')));
    UMD5 md5;
    md5.Update("junk", 4);
    md5.Reset();
    md5.Update("abc", 3);
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", md5.FinalHex());
}

}  // namespace
