#include "utils/File/PathTests.h"

#include "tests/support/TestPaths.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(PathTests, DirectoriesWithOrWithoutTrailingBackslash) {
    testing_support::ScratchDirectory scratch("paths");
    const std::string withSlash = scratch.Path();
    const std::string without = withSlash.substr(0, withSlash.size() - 1);
    EXPECT_TRUE(IsDirectory(withSlash));
    EXPECT_TRUE(IsDirectory(without));
    EXPECT_FALSE(IsDirectory(""));
    EXPECT_FALSE(IsPlainFile(without));
    EXPECT_NE(-1, GetPathAttributes(without));
}

TEST(PathTests, PlainFilesAndTheirSizes) {
    testing_support::ScratchDirectory scratch("paths");
    const std::string file = scratch.Path() + "plain.txt";
    ASSERT_TRUE(testing_support::WriteWholeFile(file, "12345"));
    EXPECT_TRUE(IsPlainFile(file));
    EXPECT_FALSE(IsDirectory(file));
    EXPECT_EQ(5, GetFileSizeOf(file));

    ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(IsPlainFile(file));
    ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));

    EXPECT_FALSE(IsPlainFile(""));
    EXPECT_EQ(-1, GetFileSizeOf(scratch.Path() + "missing.txt"));
    EXPECT_EQ(-1, GetPathAttributes(scratch.Path() + "missing.txt"));
}

TEST(PathTests, DeletePathRemovesAWholeTree) {
    testing_support::ScratchDirectory scratch("paths");
    const std::string tree = scratch.Path() + "tree\\";
    ASSERT_TRUE(::CreateDirectoryA(tree.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((tree + "inner").c_str(), nullptr));
    ASSERT_TRUE(testing_support::WriteWholeFile(tree + "inner\\file.txt", "x"));
    EXPECT_TRUE(DeletePath(tree));
    EXPECT_FALSE(IsDirectory(tree));

    const std::string file = scratch.Path() + "single.txt";
    ASSERT_TRUE(testing_support::WriteWholeFile(file, "x"));
    EXPECT_TRUE(DeletePath(file));
    EXPECT_EQ(-1, GetPathAttributes(file));
}

}  // namespace
