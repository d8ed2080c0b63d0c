#include "utils/Crypto/ScriptKey.h"

#include "utils/Crypto/CDeflateCrypto.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Bytes(const UBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << path;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ScriptCryptoChain, FileIsTheCompressedFormXoredFromByteZero) {
    const std::string script(300, 'q');  // longer than the key: it must repeat
    UIOBuffer file(script.data(), script.size());
    ASSERT_TRUE(MakeScriptCryptoChain().Encrypt(file));

    UIOBuffer compressed(script.data(), script.size());
    ASSERT_TRUE(CDeflateCrypto().Encrypt(compressed));
    ASSERT_EQ(compressed.Size(), file.Size());
    for (std::size_t i = 0; i < file.Size(); ++i)
        compressed.Data()[i] ^= kScriptKey[i % kScriptKeySize];
    EXPECT_EQ(Bytes(compressed), Bytes(file));
}

TEST(ScriptCryptoChain, RoundTripsAnyBufferTheEmptyOneIncluded) {
    std::string binary;
    for (int i = 0; i < 70000; ++i)
        binary += static_cast<char>((i * 7919) >> 3);
    for (const std::string& text : {std::string(), std::string("function f() {}"), binary}) {
        UIOBuffer buffer(text.data(), text.size());
        ASSERT_TRUE(MakeScriptCryptoChain().Encrypt(buffer));
        EXPECT_GE(buffer.Size(), 4u + 6u);  // length, then at least a zlib header and trailer
        ASSERT_TRUE(MakeScriptCryptoChain().Decrypt(buffer));
        EXPECT_EQ(text, Bytes(buffer));
    }
}

TEST(ScriptCryptoChain, PlainScriptFailsAndIsLeftAsItWas) {
    const std::string script = "function IsInterestingForm(form) { return 0; }";
    UIOBuffer plain(script.data(), script.size());
    EXPECT_FALSE(MakeScriptCryptoChain().Decrypt(plain));
    EXPECT_EQ(script, Bytes(plain));
}

// The fuzzer's seeds are real files of this key: if the key or the layout
// changes, write them anew from tests/data with "quillon-cipher encipher".
TEST(ScriptCryptoChain, CommittedSeedFilesDecipherToTheirScripts) {
    for (const char* name : {"phish", "forms", "empty"}) {
        const std::string file = ReadFile(std::string(QUILLON_CRYPTO_SEEDS) + "/" + name + ".mrg");
        const std::string script = ReadFile(std::string(QUILLON_CRYPTO_DATA) + "/" + name + ".js");
        UIOBuffer buffer(file.data(), file.size());
        ASSERT_TRUE(MakeScriptCryptoChain().Decrypt(buffer)) << name;
        EXPECT_EQ(script, Bytes(buffer)) << name;
    }
}

}  // namespace
