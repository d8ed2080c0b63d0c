#include "utils/Options/Options.h"

#include "tests/support/DiagnosticCapture.h"
#include "utils/Ownership/WinOwnership.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <climits>

namespace {

// Reads the registry directly, so the tests see what was really stored.
struct StoredValue {
    bool exists = false;
    DWORD type = 0;
    std::string text;
};

StoredValue Stored(HKEY root, const char* keyPath, const char* valueName) {
    StoredValue stored;
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(root, keyPath, 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        return stored;
    char buffer[256] = {};
    DWORD size = sizeof buffer - 1;
    if (::RegQueryValueExA(key.Get(), valueName, nullptr, &stored.type,
                           reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS) {
        stored.exists = true;
        stored.text = buffer;
    }
    return stored;
}

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon");
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon");
    }
};

TEST_F(OptionsTest, WritesAndReadsBackInBothScopesSeparately) {
    EXPECT_TRUE(SetOption(OptionScope::PerUser, "DssServer", "user.example"));
    EXPECT_TRUE(SetOption(OptionScope::MachineWide, "DssServer", "machine.example"));
    EXPECT_EQ("user.example", GetOption(OptionScope::PerUser, "DssServer"));
    EXPECT_EQ("machine.example", GetOption(OptionScope::MachineWide, "DssServer"));

    const StoredValue user = Stored(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", "DssServer");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), user.type);
    EXPECT_EQ("user.example", user.text);
}

TEST_F(OptionsTest, BackslashesInANameSelectSubkeys) {
    EXPECT_TRUE(SetOptionInt(OptionScope::PerUser, "PIP\\Cert", 12));
    EXPECT_EQ("12", Stored(HKEY_CURRENT_USER, "SOFTWARE\\Quillon\\PIP", "Cert").text);
    EXPECT_TRUE(SetOption(OptionScope::PerUser, "A\\B\\C", "deep"));
    EXPECT_EQ("deep", Stored(HKEY_CURRENT_USER, "SOFTWARE\\Quillon\\A\\B", "C").text);
    EXPECT_EQ("deep", GetOption(OptionScope::PerUser, "A\\B\\C"));
}

TEST_F(OptionsTest, MissingValueWithADefaultStoresTheDefault) {
    EXPECT_EQ("", GetOption(OptionScope::PerUser, "DssServer"));
    EXPECT_FALSE(Stored(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", "DssServer").exists);

    EXPECT_EQ("fallback", GetOption(OptionScope::PerUser, "DssServer", "fallback"));
    EXPECT_EQ("fallback", Stored(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", "DssServer").text);
}

TEST_F(OptionsTest, TypedReadersStoreTheirDefaultNotTheMissingMarker) {
    EXPECT_TRUE(GetOptionBool(OptionScope::PerUser, "Show_SafeSearchIcons", true));
    EXPECT_EQ("true", Stored(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", "Show_SafeSearchIcons").text);
    EXPECT_FALSE(GetOptionBool(OptionScope::PerUser, "Highlite_SafeSearch", false));
    EXPECT_EQ("false", Stored(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", "Highlite_SafeSearch").text);
    EXPECT_EQ(5, GetOptionInt(OptionScope::PerUser, "PIP\\Ok", 5));
    EXPECT_EQ("5", Stored(HKEY_CURRENT_USER, "SOFTWARE\\Quillon\\PIP", "Ok").text);
}

TEST_F(OptionsTest, BooleansIgnoreCaseButTheExactTestDoesNot) {
    SetOption(OptionScope::MachineWide, "PIP", "True");
    EXPECT_TRUE(GetOptionBool(OptionScope::MachineWide, "PIP", false));
    EXPECT_NE("true", GetOption(OptionScope::MachineWide, "PIP"));
    SetOption(OptionScope::MachineWide, "PIP", "yes");
    EXPECT_FALSE(GetOptionBool(OptionScope::MachineWide, "PIP", true));
}

TEST_F(OptionsTest, IntegersReadTheirLeadingDigits) {
    SetOption(OptionScope::PerUser, "Count", "42abc");
    EXPECT_EQ(42, GetOptionInt(OptionScope::PerUser, "Count", 7));
    SetOption(OptionScope::PerUser, "Count", "abc");
    EXPECT_EQ(0, GetOptionInt(OptionScope::PerUser, "Count", 7));
    SetOption(OptionScope::PerUser, "Count", "99999999999999");
    EXPECT_EQ(INT_MAX, GetOptionInt(OptionScope::PerUser, "Count", 7));
}

TEST_F(OptionsTest, DwordValueCountsAsMissingAndIsReplacedByTheDefault) {
    win::UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, key.Put(), nullptr));
    const DWORD value = 1;
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key.Get(), "Initialized", 0, REG_DWORD,
                                              reinterpret_cast<const BYTE*>(&value), sizeof value));
    EXPECT_FALSE(GetOptionBool(OptionScope::PerUser, "Initialized", false));
    const StoredValue stored = Stored(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", "Initialized");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
    EXPECT_EQ("false", stored.text);
}

TEST_F(OptionsTest, EmptyTextIsNeverWritten) {
    SetOption(OptionScope::PerUser, "DssServer", "kept");
    EXPECT_FALSE(SetOption(OptionScope::PerUser, "DssServer", ""));
    EXPECT_EQ("kept", GetOption(OptionScope::PerUser, "DssServer"));
}

TEST_F(OptionsTest, IncrementCountsFromZero) {
    EXPECT_TRUE(IncrementOption(OptionScope::PerUser, "PIP\\DSSExp"));
    EXPECT_TRUE(IncrementOption(OptionScope::PerUser, "PIP\\DSSExp"));
    EXPECT_TRUE(IncrementOption(OptionScope::PerUser, "PIP\\DSSExp"));
    EXPECT_EQ(3, GetOptionInt(OptionScope::PerUser, "PIP\\DSSExp", 0));
}

TEST_F(OptionsTest, IncrementStopsAtTheLargestInteger) {
    SetOption(OptionScope::PerUser, "PIP\\DSSExp", "2147483646");
    EXPECT_TRUE(IncrementOption(OptionScope::PerUser, "PIP\\DSSExp"));
    EXPECT_EQ("2147483647", GetOption(OptionScope::PerUser, "PIP\\DSSExp"));
    EXPECT_TRUE(IncrementOption(OptionScope::PerUser, "PIP\\DSSExp"));
    EXPECT_EQ("2147483647", GetOption(OptionScope::PerUser, "PIP\\DSSExp"));
    SetOption(OptionScope::PerUser, "PIP\\DSSExp", "99999999999999");
    EXPECT_TRUE(IncrementOption(OptionScope::PerUser, "PIP\\DSSExp"));
    EXPECT_EQ(INT_MAX, GetOptionInt(OptionScope::PerUser, "PIP\\DSSExp", 0));
}

// Gives a key a DACL that lets everyone only read it, as HKLM is for a
// user without administrator rights; restores full access on destruction.
class ReadOnlyKey {
public:
    ReadOnlyKey(HKEY root, const char* path) {
        ok_ = ::RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.Put(), nullptr) ==
                  ERROR_SUCCESS &&
              SetDacl("D:P(A;CI;KR;;;WD)");
    }
    ~ReadOnlyKey() { SetDacl("D:(A;CI;KA;;;WD)"); }
    bool Ok() const { return ok_; }

private:
    bool SetDacl(const char* sddl) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr))
            return false;
        const LONG status = ::RegSetKeySecurity(key_.Get(), DACL_SECURITY_INFORMATION, descriptor);
        ::LocalFree(descriptor);
        return status == ERROR_SUCCESS;
    }

    win::UniqueRegKey key_;
    bool ok_ = false;
};

TEST_F(OptionsTest, MachineWideOptionsAreReadWithoutWriteAccess) {
    ASSERT_TRUE(SetOption(OptionScope::MachineWide, "PIP", "true"));
    ASSERT_TRUE(SetOption(OptionScope::MachineWide, "DssServer", "machine.example"));
    ASSERT_TRUE(SetOptionInt(OptionScope::MachineWide, "Count", 41));
    testing_support::DiagnosticCapture tool;
    ASSERT_TRUE(tool.IsListening());
    {
        ReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon");
        ASSERT_TRUE(readOnly.Ok());
        // The key really refuses writing.
        win::UniqueRegKey probe;
        ASSERT_NE(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon", 0, KEY_SET_VALUE,
                                                 probe.Put()));

        EXPECT_TRUE(GetOptionBool(OptionScope::MachineWide, "PIP", false));
        EXPECT_EQ("machine.example", GetOption(OptionScope::MachineWide, "DssServer", "other"));
        EXPECT_EQ(41, GetOptionInt(OptionScope::MachineWide, "Count", 0));
        // Defaults are answered but not stored where writing is refused.
        EXPECT_EQ("fallback", GetOption(OptionScope::MachineWide, "Missing", "fallback"));
        EXPECT_EQ(7, GetOptionInt(OptionScope::MachineWide, "MissingInt", 7));
        EXPECT_TRUE(GetOptionBool(OptionScope::MachineWide, "MissingBool", true));
        EXPECT_FALSE(Stored(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon", "Missing").exists);
        EXPECT_FALSE(Stored(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon", "MissingInt").exists);
    }
    // Reading is no fault: nothing was reported.
    EXPECT_TRUE(tool.Lines().empty());
}

TEST_F(OptionsTest, KeyThatCannotBeCreatedIsReported) {
    testing_support::DiagnosticCapture tool;
    // The registry refuses key paths deeper than 512 levels.
    std::string name;
    for (int level = 0; level < 600; ++level)
        name += "k\\";
    name += "value";
    EXPECT_FALSE(SetOption(OptionScope::PerUser, name.c_str(), "x"));
    EXPECT_TRUE(tool.Reported("SetOption", "Could not create registry key"));
}

}  // namespace
