#include "utils/File/LaunchProgram.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TEST(LaunchProgram, QuotesAPathWithSpacesAndReturnsTheExitCode) {
    testing_support::ScratchDirectory scratch("launch");
    const std::string folder = scratch.Path() + "Program Files With Spaces\\";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::string program = folder + "Exit With Code.exe";
    ASSERT_TRUE(::CopyFileA((testing_support::ExecutableDirectory() + "ExitWithCode.exe").c_str(),
                            program.c_str(), FALSE));
    const std::string record = scratch.Path() + "commandline.txt";

    const std::string arguments = "42 " + record + "   \"kept  as given\"";
    EXPECT_EQ(42, LaunchProgram(program.c_str(), arguments.c_str(), 0, true));

    std::ifstream file(record);
    std::stringstream commandLine;
    commandLine << file.rdbuf();
    EXPECT_EQ("\"" + program + "\" " + arguments, commandLine.str());
}

TEST(LaunchProgram, WithoutWaitingReturnsZeroAndWithoutArgumentsPassesNone) {
    const std::string program = testing_support::ExecutableDirectory() + "ExitWithCode.exe";
    EXPECT_EQ(0, LaunchProgram(program.c_str(), "3", 0, false));
    EXPECT_EQ(0, LaunchProgram(program.c_str(), nullptr, 0, true));
    EXPECT_EQ(7, LaunchProgram(program.c_str(), "7", CREATE_NO_WINDOW, true));
}

TEST(LaunchProgram, MissingProgramIsReported) {
    testing_support::DiagnosticCapture tool;
    EXPECT_EQ(-1, LaunchProgram("C:\\no\\such\\program.exe", nullptr, 0, true));
    EXPECT_TRUE(tool.Reported("LaunchProgram", "Failed to launch"));
    EXPECT_EQ(-1, LaunchProgram(nullptr, nullptr, 0, true));
    EXPECT_TRUE(tool.Reported("LaunchProgram", "NULL pointer"));
}

}  // namespace
