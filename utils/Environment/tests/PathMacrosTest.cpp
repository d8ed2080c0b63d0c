#include "utils/Environment/PathMacros.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/TestPaths.h"
#include "utils/Ownership/WinOwnership.h"
#include "utils/File/PathTests.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

TEST(ExpandPathMacros, ReplacesEveryMacroWhereverItStands) {
    std::string path = "%DESKTOP%|%PROGRAM_FILES%|%INSTALL_DIR%|%DESKTOP%";
    ExpandPathMacros(path);
    const std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    EXPECT_EQ(desktop + "|" + SpecialFolder(CSIDL_PROGRAM_FILES) + "|" +
                  testing_support::ExecutableDirectory() + "|" + desktop,
              path);
}

TEST(ExpandPathMacros, DataDirIsCreatedUnderApplicationData) {
    const std::string expected = SpecialFolder(CSIDL_APPDATA) + "\\Quillon\\";
    DeletePath(expected);
    ASSERT_FALSE(IsDirectory(expected));

    std::string untouched = "C:\\no macro here";
    ExpandPathMacros(untouched);
    EXPECT_EQ("C:\\no macro here", untouched);
    EXPECT_FALSE(IsDirectory(expected));  // a path without "%" creates nothing

    std::string path = "%DATA_DIR%asserts.txt";
    ExpandPathMacros(path);
    EXPECT_EQ(expected + "asserts.txt", path);
    EXPECT_TRUE(IsDirectory(expected));
}

// A data folder that cannot be made (here a file stands in its way) is
// reported and the path refused, never expanded to a relative path.
TEST(ExpandPathMacros, DataDirThatCannotBeMadeIsReportedAndRefused) {
    const std::string folder = SpecialFolder(CSIDL_APPDATA) + "\\Quillon";
    DeletePath(folder);
    {
        win::UniqueFile blocker(::CreateFileA(folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(blocker);
    }
    testing_support::DiagnosticCapture tool;
    ASSERT_TRUE(tool.IsListening());
    std::string path = "%DATA_DIR%asserts.txt";
    const bool expanded = ExpandPathMacros(path);
    std::string normalized = "%DATA_DIR%/whitelist.txt";
    const bool normalizedOk = NormalizePath(normalized);
    ::DeleteFileA(folder.c_str());

    EXPECT_FALSE(expanded);
    EXPECT_EQ("", path);
    EXPECT_FALSE(normalizedOk);
    EXPECT_EQ("", normalized);
    EXPECT_TRUE(tool.Reported("ExpandPathMacros", "Folder not found"));
    // Paths without the macro are untouched by it.
    std::string plain = "C:\\x\\y.txt";
    EXPECT_TRUE(ExpandPathMacros(plain));
    EXPECT_EQ("C:\\x\\y.txt", plain);
}

TEST(ExpandPathMacros, UnknownMacroAndLonePercentStay) {
    std::string path = "C:\\100%\\%UNKNOWN%\\x";
    ExpandPathMacros(path);
    EXPECT_EQ("C:\\100%\\%UNKNOWN%\\x", path);
}

TEST(NormalizePath, TurnsSlashesAndMarksExistingDirectories) {
    testing_support::ScratchDirectory scratch("normalize");
    std::string withSlashes = scratch.Path() + "sub/file.txt";
    NormalizePath(withSlashes);
    EXPECT_EQ(scratch.Path() + "sub\\file.txt", withSlashes);

    std::string directory = scratch.Path().substr(0, scratch.Path().size() - 1);
    NormalizePath(directory);
    EXPECT_EQ(scratch.Path(), directory);

    std::string alreadyMarked = scratch.Path();
    NormalizePath(alreadyMarked);
    EXPECT_EQ(scratch.Path(), alreadyMarked);  // never a second backslash
}

TEST(NormalizePath, InstallDirFolderGetsABackslashOnlyWhenItExists) {
    // A folder of its own: the test programs share their folder with the real Scripts.
    const std::string name = "ScriptsProbe" + std::to_string(::GetCurrentProcessId());
    const std::string folder = testing_support::ExecutableDirectory() + name;
    std::string path = "%INSTALL_DIR%" + name;
    NormalizePath(path);
    EXPECT_EQ(folder, path);

    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    path = "%INSTALL_DIR%" + name;
    NormalizePath(path);
    EXPECT_EQ(folder + "\\", path);
    EXPECT_TRUE(DeletePath(folder));
}

}  // namespace
