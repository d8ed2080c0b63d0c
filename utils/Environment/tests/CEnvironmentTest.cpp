#include "utils/Environment/CEnvironment.h"

#include "tests/support/DiagnosticCapture.h"
#include "utils/Ownership/WinOwnership.h"

#include <gtest/gtest.h>

namespace {

TEST(CEnvironment, WindowsNamesFollowTheVersionTable) {
    EXPECT_EQ("Windows NT 3.51", CEnvironment::WindowsName(3, 51, VER_PLATFORM_WIN32_NT));
    EXPECT_EQ("Windows 95", CEnvironment::WindowsName(4, 0, VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ("Windows NT 4.0", CEnvironment::WindowsName(4, 0, VER_PLATFORM_WIN32_NT));
    EXPECT_EQ("Windows 98", CEnvironment::WindowsName(4, 10, VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ("Windows Me", CEnvironment::WindowsName(4, 90, VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ("32 bit Windows", CEnvironment::WindowsName(4, 3, VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ("Windows 2000", CEnvironment::WindowsName(5, 0, VER_PLATFORM_WIN32_NT));
    EXPECT_EQ("Windows XP", CEnvironment::WindowsName(5, 1, VER_PLATFORM_WIN32_NT));
    EXPECT_EQ("Windows Server 2003 family", CEnvironment::WindowsName(5, 2, VER_PLATFORM_WIN32_NT));
    EXPECT_EQ("Windows 5.7", CEnvironment::WindowsName(5, 7, VER_PLATFORM_WIN32_NT));
    EXPECT_EQ("Windows 6.0", CEnvironment::WindowsName(6, 0, VER_PLATFORM_WIN32_NT));
}

TEST(CEnvironment, DescribesTheRunningSystem) {
    const CEnvironment environment;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(::GetVersionExA(&version));
    EXPECT_EQ(static_cast<int>(version.dwMajorVersion), environment.MajorVersion());
    EXPECT_EQ(static_cast<int>(version.dwMinorVersion), environment.MinorVersion());
    const std::string build = " (build " + std::to_string(version.dwBuildNumber & 0xFFFF) + ") ";
    EXPECT_EQ(0u, environment.SystemDescription().find(
                      CEnvironment::WindowsName(version.dwMajorVersion, version.dwMinorVersion,
                                                version.dwPlatformId) + build));

    EXPECT_EQ(CEnvironment::kNonClientMetricsSize, environment.NonClientMetrics().cbSize);
    EXPECT_GT(environment.NonClientMetrics().iCaptionHeight, 0);
    EXPECT_GT(environment.WorkArea().right, environment.WorkArea().left);
    EXPECT_GT(environment.WorkArea().bottom, environment.WorkArea().top);

    char country[9] = {};
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, country, sizeof country);
    EXPECT_EQ(country, environment.Country());
    EXPECT_FALSE(environment.Language().empty());
}

class BrowserVersionTest : public ::testing::Test {
protected:
    static constexpr char kKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";
    void SetUp() override {
        ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, saved_.Put());
    }
    void TearDown() override {
        if (!hadVersion_)
            return;
        win::UniqueRegKey key;
        ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                          nullptr);
        ::RegSetValueExA(key.Get(), "Version", 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(savedVersion_.c_str()),
                         static_cast<DWORD>(savedVersion_.size() + 1));
    }
    void RememberVersion() {
        char text[64] = {};
        DWORD size = sizeof text;
        hadVersion_ = saved_ && ::RegQueryValueExA(saved_.Get(), "Version", nullptr, nullptr,
                                                   reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS;
        savedVersion_ = text;
    }
    win::UniqueRegKey saved_;
    bool hadVersion_ = false;
    std::string savedVersion_;
};
constexpr char BrowserVersionTest::kKey[];

TEST_F(BrowserVersionTest, ReadsTheVersionValueOnlyAsText) {
    RememberVersion();
    win::UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                               nullptr, key.Put(), nullptr));
    const char version[] = "6.0.2900.2180";
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key.Get(), "Version", 0, REG_SZ,
                                              reinterpret_cast<const BYTE*>(version), sizeof version));
    EXPECT_EQ("6.0.2900.2180", CEnvironment().BrowserVersion());

    const DWORD number = 6;
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key.Get(), "Version", 0, REG_DWORD,
                                              reinterpret_cast<const BYTE*>(&number), sizeof number));
    EXPECT_EQ("", CEnvironment().BrowserVersion());
}

TEST(CanWriteMachineAreas, TrueForAnAdministratorAndLeavesNothingBehind) {
    // Wine runs its programs with full rights.
    EXPECT_TRUE(CanWriteMachineAreas());
    win::UniqueRegKey probe;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\QuillonProbe", 0, KEY_READ,
                                             probe.Put()));
    char programFiles[MAX_PATH] = {};
    ::ExpandEnvironmentStringsA("%ProgramFiles%\\qui*.tmp", programFiles, MAX_PATH);
    WIN32_FIND_DATAA found = {};
    win::UniqueFindHandle search(::FindFirstFileA(programFiles, &found));
    EXPECT_FALSE(search) << found.cFileName;
}

}  // namespace
