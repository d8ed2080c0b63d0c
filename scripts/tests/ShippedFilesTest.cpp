// The enciphered files the build produces are read back by the add-on's own
// cipher chain, byte for byte, and run in the engine.
#include "tests/support/DiagnosticCapture.h"
#include "utils/Buffer/UIOBuffer.h"
#include "utils/Crypto/ScriptKey.h"
#include "utils/File/UFile.h"
#include "utils/Script/CScriptHost.h"

#include <gtest/gtest.h>

#include <set>

namespace {

UIOBuffer ReadShipped(const char* path) {
    UIOBuffer buffer;
    EXPECT_TRUE(UFile::ReadFile(path, buffer)) << path;
    return buffer;
}

std::string Text(const UIOBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

TEST(ShippedFiles, EncipheredScriptsDecipherToThePlainOnes) {
    for (const char* name : {"all", "SafeSearch"}) {
        const std::string folder = "%INSTALL_DIR%Scripts\\";
        UIOBuffer enciphered = ReadShipped((folder + name + ".mrg").c_str());
        const UIOBuffer plain = ReadShipped((folder + name + ".js").c_str());
        ASSERT_GT(plain.Size(), 100u);
        EXPECT_NE(Text(plain), Text(enciphered));
        CCryptoChain chain = MakeScriptCryptoChain();
        ASSERT_TRUE(chain.Decrypt(enciphered)) << name;
        EXPECT_EQ(Text(plain), Text(enciphered)) << name;
    }
}

TEST(ShippedFiles, EnginesRunTheEncipheredScriptsThenThePlainOnes) {
    testing_support::DiagnosticCapture tool;
    CScriptHost host;
    ASSERT_TRUE(host.InitScripting());
    CCryptoChain chain = MakeScriptCryptoChain();
    EXPECT_TRUE(host.AddScriptFile("%INSTALL_DIR%Scripts\\all.mrg", &chain));
    EXPECT_TRUE(host.AddScriptFile("%INSTALL_DIR%Scripts\\all.js"));
    ASSERT_TRUE(host.RunScript());
    VARIANT result;
    ::VariantInit(&result);
    ASSERT_TRUE(host.CallScriptFcn("GetCategory", &result, 0, nullptr));
    ::VariantClear(&result);
    EXPECT_TRUE(tool.Lines().empty());

    // Without the chain the enciphered bytes are not the scripts. Whether the
    // engine refuses them as text depends on the bytes (it takes many byte
    // runs for odd identifiers), so what must hold is that they define
    // none of the functions.
    CScriptHost other;
    ASSERT_TRUE(other.InitScripting());
    (void)other.AddScriptFile("%INSTALL_DIR%Scripts\\all.mrg");
    (void)other.RunScript();
    EXPECT_FALSE(other.CallScriptFcn("GetCategory", &result, 0, nullptr));
}

TEST(ShippedFiles, ExploitListHoldsOneDomainPerLine) {
    UIOBuffer list = ReadShipped("%INSTALL_DIR%elist.dat");
    CCryptoChain chain = MakeScriptCryptoChain();
    ASSERT_TRUE(chain.Decrypt(list));
    std::set<std::string> domains;
    while (list.Remaining() > 0)
        domains.insert(list.ReadLine());
    EXPECT_EQ(1u, domains.count("exploit-kit.example"));
    EXPECT_EQ(1u, domains.count("malvertising-cdn.example.net"));
    EXPECT_EQ(0u, domains.count(""));
    for (const std::string& domain : domains)
        EXPECT_EQ(std::string::npos, domain.find_first_of("# \r\nABCDEFGHIJKLMNOPQRSTUVWXYZ")) << domain;
}

}  // namespace
