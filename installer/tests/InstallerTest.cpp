// Runs the real installer and uninstaller silently, as an administrator's
// script would, and looks at what they left on the machine: the files beside
// the module, the module's classes, the logon start of the service, the entry
// in the list of programs and the browser's elevation policy; and after the
// uninstaller, that all of it is gone but the user's do-not-warn list.
#include "ie/res/Version.h"
#include "service/CRatingService.h"
#include "tests/support/TestPaths.h"
#include "utils/Environment/PathMacros.h"
#include "utils/File/PathTests.h"
#include "utils/Ownership/WinOwnership.h"
#include "utils/iRPC/RPCWindowHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using testing_support::ExecutableDirectory;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillon";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kElevationKey[] =
    "Software\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy\\{4707BF79-C970-4A0E-B78B-D0BAD5DF3459}";
constexpr char kHelperKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\"
    "{089FD14D-132B-48FC-8861-0048AE113215}";
constexpr char kToolbarKey[] = "Software\\Microsoft\\Internet Explorer\\Toolbar";
constexpr char kToolbarClass[] = "{0BF43445-2F28-4351-9252-17FE6E806AA0}";
constexpr const char* kClassKeys[] = {
    "CLSID\\{089FD14D-132B-48FC-8861-0048AE113215}\\InprocServer32",
    "CLSID\\{0BF43445-2F28-4351-9252-17FE6E806AA0}\\InprocServer32",
    "CLSID\\{1E2866A1-D239-411E-A35D-3CBC34C84E92}\\InprocServer32",
};
constexpr char kMachineOptionsKey[] = "SOFTWARE\\Quillon";

// Every file the product looks for beside its module.
constexpr const char* kProductFiles[] = {
    "QuillonIE.dll", "Quillon.exe",          "ratings.txt",          "elist.dat",
    "Scripts\\all.js", "Scripts\\all.mrg", "Scripts\\SafeSearch.js", "Scripts\\SafeSearch.mrg",
    "pages\\exploit.html", "pages\\feedback.html",
};

constexpr DWORD kProcessTimeout = 60000;
// The uninstaller copies itself away and runs the copy, so its end is seen
// in what it removes.
constexpr DWORD kRemovalTimeout = 30000;

const REGSAM kView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;

// A path the build gives relative to this program's folder.
std::string BesideExecutable(const char* relativePath) {
    std::string path = ExecutableDirectory() + relativePath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string SetupPath() {
    return BesideExecutable(QUILLON_SETUP_RELATIVE_PATH);
}

// The files as the installer took them in.
std::string StagedFile(const char* file) {
    return BesideExecutable(QUILLON_STAGE_RELATIVE_PATH) + "\\" + file;
}

std::string Expanded(const char* path) {
    std::string expanded = path;
    NormalizePath(expanded);
    return expanded;
}

std::string DefaultInstallDirectory() {
    std::string programFiles = Expanded("%PROGRAM_FILES%");  // normalised: with a trailing backslash
    if (!programFiles.empty() && programFiles.back() != '\\')
        programFiles += '\\';
    return programFiles + "Quillon\\";
}

// Expanding %DATA_DIR% creates the folder: tests that check its removal
// expand it before, never after.
std::string WhitelistPath() {
    return Expanded(CRatingService::kWhitelistFile);
}

// Runs a command line and waits for it; its exit code, or -1.
int RunProgram(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = commandLine;
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << ::GetLastError();
        return -1;
    }
    const win::UniqueHandle processHandle(process.hProcess);
    const win::UniqueHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, kProcessTimeout) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 99);
        ADD_FAILURE() << commandLine << " did not end";
        return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout) {
    for (DWORD waited = 0;; waited += 100) {
        if (condition())
            return true;
        if (waited >= timeout)
            return false;
        ::Sleep(100);
    }
}

bool KeyExists(HKEY root, const std::string& key, REGSAM view = kView) {
    win::UniqueRegKey handle;
    return ::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, handle.Put()) == ERROR_SUCCESS;
}

// A value of the given type, read in the given registry view.
std::optional<std::vector<BYTE>> ReadValue(HKEY root, const std::string& key, const char* name, DWORD type,
                                           REGSAM view) {
    win::UniqueRegKey handle;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, handle.Put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD actualType = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(handle.Get(), name, nullptr, &actualType, nullptr, &size) != ERROR_SUCCESS ||
        actualType != type) {
        return std::nullopt;
    }
    std::vector<BYTE> data(size + 1, 0);
    if (::RegQueryValueExA(handle.Get(), name, nullptr, &actualType, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
}

std::optional<std::string> ReadString(HKEY root, const std::string& key, const char* name, REGSAM view = kView) {
    const auto data = ReadValue(root, key, name, REG_SZ, view);
    if (!data)
        return std::nullopt;
    std::string text(data->begin(), data->end());
    return text.substr(0, text.find('\0'));
}

std::optional<DWORD> ReadDword(HKEY root, const std::string& key, const char* name, REGSAM view = kView) {
    const auto data = ReadValue(root, key, name, REG_DWORD, view);
    if (!data || data->size() != sizeof(DWORD))
        return std::nullopt;
    DWORD value = 0;
    std::memcpy(&value, data->data(), sizeof value);
    return value;
}

bool WriteString(HKEY root, const std::string& key, const char* name, const std::string& value) {
    win::UniqueRegKey handle;
    if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE | kView, nullptr, handle.Put(), nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExA(handle.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string WithoutTrailingSlash(std::string path) {
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(IsPlainFile(SetupPath())) << SetupPath();
        // Earlier runs or tests must not decide what the checks see.
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "Quillon is installed already";
        DeletePath(WhitelistPath());
    }

    void TearDown() override {
        // A failed check must not leave the product for the next test.
        if (const auto command = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString")) {
            RunProgram(*command);
            WaitUntil([] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, kRemovalTimeout);
        }
        if (!installedPackage_.empty())
            RunProgram("msiexec.exe /x \"" + installedPackage_ + "\" /qn");
        if (service_)
            ::TerminateProcess(service_.Get(), 0);
        DeletePath(WhitelistPath());
        for (const std::string& folder : extraFolders_)
            DeletePath(folder);
    }

    // Runs the installer with the given switches; its exit code.
    int Install(const std::string& switches = "") {
        return RunProgram("\"" + SetupPath() + "\" /S" + (switches.empty() ? "" : " " + switches));
    }

    // Runs the uninstaller the way the list of programs does in silence and
    // waits until it has removed the folder and, last of all, its entry.
    void Uninstall(const std::string& installDirectory, const std::string& switches = "") {
        const auto command = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");
        ASSERT_TRUE(command);
        ASSERT_EQ(0, RunProgram(*command + (switches.empty() ? "" : " " + switches)));
        EXPECT_TRUE(WaitUntil(
            [&] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) && !IsDirectory(installDirectory); },
            kRemovalTimeout))
            << "the uninstaller left its entry or " << installDirectory;
    }

    void ExpectFilesIn(const std::string& installDirectory) {
        for (const char* file : kProductFiles) {
            const auto installed = ReadFileBytes(installDirectory + file);
            ASSERT_TRUE(installed) << file << " missing";
            EXPECT_EQ(ReadFileBytes(StagedFile(file)), installed) << file << " differs from the build's";
        }
    }

    // The browser loads the module from the install folder, and the module
    // finds everything else beside itself; the service starts at each logon.
    void ExpectRegisteredIn(const std::string& installDirectory) {
        const std::string module = installDirectory + "QuillonIE.dll";
        for (const char* key : kClassKeys) {
            EXPECT_EQ(module, ReadString(HKEY_CLASSES_ROOT, key, nullptr)) << key;
            EXPECT_EQ("Apartment", ReadString(HKEY_CLASSES_ROOT, key, "ThreadingModel")) << key;
        }
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kHelperKey));
        EXPECT_EQ("Quillon", ReadString(HKEY_LOCAL_MACHINE, kToolbarKey, kToolbarClass));
        EXPECT_EQ("\"" + installDirectory + "Quillon.exe\"", ReadString(HKEY_LOCAL_MACHINE, kRunKey, "Quillon"));
    }

    // The installed product as the browser and the list of programs see it.
    void ExpectInstalledIn(const std::string& installDirectory) {
        SCOPED_TRACE("installed in " + installDirectory);
        ExpectFilesIn(installDirectory);
        EXPECT_TRUE(IsPlainFile(installDirectory + "Uninstall.exe"));
        ExpectRegisteredIn(installDirectory);

        const std::string module = installDirectory + "QuillonIE.dll";
        const std::string folder = WithoutTrailingSlash(installDirectory);
        const std::string uninstaller = "\"" + installDirectory + "Uninstall.exe\"";
        EXPECT_EQ("Quillon", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
        EXPECT_EQ(QUILLON_VERSION_STRING, ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"));
        EXPECT_EQ("The Quillon developers", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher"));
        EXPECT_EQ(uninstaller, ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
        EXPECT_EQ(uninstaller + " /S", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"));
        EXPECT_EQ(folder, ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"));
        EXPECT_EQ(module + ",0", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"));
        EXPECT_EQ(1u, ReadDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify"));
        EXPECT_EQ(1u, ReadDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair"));
        EXPECT_LT(0u, ReadDword(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize").value_or(0));

        // Both views: the broker that reads the policy need not have the module's bitness.
        for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            SCOPED_TRACE(view == KEY_WOW64_64KEY ? "64-bit view" : "32-bit view");
            EXPECT_EQ("Quillon.exe", ReadString(HKEY_LOCAL_MACHINE, kElevationKey, "AppName", view));
            EXPECT_EQ(folder, ReadString(HKEY_LOCAL_MACHINE, kElevationKey, "AppPath", view));
            EXPECT_EQ(3u, ReadDword(HKEY_LOCAL_MACHINE, kElevationKey, "Policy", view));
        }
    }

    void ExpectRemovedFrom(const std::string& installDirectory) {
        SCOPED_TRACE("removed from " + installDirectory);
        EXPECT_FALSE(IsDirectory(installDirectory));
        for (const char* key : kClassKeys)
            EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kHelperKey));
        EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kToolbarKey, kToolbarClass));
        EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kRunKey, "Quillon"));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kElevationKey, KEY_WOW64_64KEY));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kElevationKey, KEY_WOW64_32KEY));
    }

    // Starts the installed service as the logon would and waits for its window.
    void StartService(const std::string& installDirectory) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::string command = "\"" + installDirectory + "Quillon.exe\"";
        ASSERT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                     &process));
        service_.Reset(process.hProcess);
        ::CloseHandle(process.hThread);
        ASSERT_TRUE(WaitUntil([] { return ::FindWindowA(nullptr, kRPCServiceWindowTitle) != nullptr; }, 10000));
    }

    // The user's do-not-warn list, where the service keeps it.
    void WriteUserData() {
        ASSERT_TRUE(testing_support::WriteWholeFile(WhitelistPath(), "example.com\r\n"));
    }

    win::UniqueHandle service_;
    std::string installedPackage_;  // for msiexec /x
    std::vector<std::string> extraFolders_;
};

TEST_F(InstallerTest, InstallsRegistersAndRemovesEverythingButTheUsersList) {
    const std::string installDirectory = DefaultInstallDirectory();
    ASSERT_EQ(0, Install());
    ExpectInstalledIn(installDirectory);

    StartService(installDirectory);
    WriteUserData();
    Uninstall(installDirectory);
    ExpectRemovedFrom(installDirectory);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMachineOptionsKey));
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(service_.Get(), 0)) << "the service still runs";
    EXPECT_EQ(nullptr, ::FindWindowA(nullptr, kRPCServiceWindowTitle));
    EXPECT_EQ("example.com\r\n", ReadFileBytes(WhitelistPath())) << "the user's do-not-warn list went";
}

TEST_F(InstallerTest, UpgradesWhereTheEarlierVersionIsAndRemovesTheUsersDataWhenAsked) {
    // Not the default folder, and with a space: the second run must find it.
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string installDirectory = std::string(temp) + "Quillon upgrade\\";
    extraFolders_.push_back(installDirectory);
    DeletePath(installDirectory);
    ASSERT_EQ(0, Install("/D=" + WithoutTrailingSlash(installDirectory)));
    ExpectInstalledIn(installDirectory);

    WriteUserData();
    // A machine-wide option set after the first installation.
    ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, kMachineOptionsKey, "Probe", "kept on upgrade"));
    StartService(installDirectory);

    ASSERT_EQ(0, Install());
    ExpectInstalledIn(installDirectory);
    EXPECT_FALSE(IsDirectory(DefaultInstallDirectory()));
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(service_.Get(), 0)) << "the old service still runs";
    EXPECT_EQ("kept on upgrade", ReadString(HKEY_LOCAL_MACHINE, kMachineOptionsKey, "Probe"));
    EXPECT_EQ("example.com\r\n", ReadFileBytes(WhitelistPath()));

    // Asked to, the uninstaller takes the user's data too.
    ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, "Software\\Quillon", "Probe", "kept until asked"));
    const std::string whitelist = WhitelistPath();
    const std::string dataDirectory = Expanded("%DATA_DIR%");  // expanding creates it: not after
    Uninstall(installDirectory, "/REMOVEUSERDATA");
    ExpectRemovedFrom(installDirectory);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMachineOptionsKey)) << "removal keeps the machine-wide options";
    EXPECT_FALSE(IsPlainFile(whitelist));
    EXPECT_FALSE(IsDirectory(dataDirectory));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Quillon"));
}

// The administrators' package puts the same files and registry entries in
// place as the installer, through Windows Installer's own tables, and takes
// them away again with the running service.
TEST_F(InstallerTest, PackageForGroupPolicyInstallsAndRemovesTheSameProduct) {
    const std::string package = BesideExecutable(QUILLON_PACKAGE_RELATIVE_PATH);
    ASSERT_TRUE(IsPlainFile(package)) << package;
    const std::string installDirectory = DefaultInstallDirectory();
    ASSERT_EQ(0, RunProgram("msiexec.exe /i \"" + package + "\" /qn"));
    installedPackage_ = package;
    ExpectFilesIn(installDirectory);
    ExpectRegisteredIn(installDirectory);
    EXPECT_EQ("Quillon.exe", ReadString(HKEY_LOCAL_MACHINE, kElevationKey, "AppName"));
    EXPECT_EQ(installDirectory, ReadString(HKEY_LOCAL_MACHINE, kElevationKey, "AppPath"));
    EXPECT_EQ(3u, ReadDword(HKEY_LOCAL_MACHINE, kElevationKey, "Policy"));

    StartService(installDirectory);
    WriteUserData();
    ASSERT_EQ(0, RunProgram("msiexec.exe /x \"" + package + "\" /qn"));
    installedPackage_.clear();
    ExpectRemovedFrom(installDirectory);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(service_.Get(), 5000)) << "the service still runs";
    EXPECT_EQ("example.com\r\n", ReadFileBytes(WhitelistPath()));
}

}  // namespace
