#include "utils/Diagnostics/DiagnosticLog.h"
#include "utils/Diagnostics/ReportAssert.h"

#include "tests/support/CopyDataWindow.h"
#include "tests/support/DiagnosticCapture.h"
#include "tests/support/TestPaths.h"
#include "utils/Environment/PathMacros.h"
#include "utils/File/PathTests.h"
#include "utils/Options/Options.h"
#include "utils/Ownership/WinOwnership.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace {

std::string AssertionFilePath() {
    std::string path = diagnostic::kAssertionFile;
    NormalizePath(path);
    return path;
}

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

class DiagnosticLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::DeleteFileA(AssertionFilePath().c_str());
        SetOption(OptionScope::MachineWide, "PIP", "false");
    }
    void TearDown() override {
        ::DeleteFileA(AssertionFilePath().c_str());
        SetOption(OptionScope::MachineWide, "PIP", "false");
    }
};

TEST_F(DiagnosticLogTest, ToolReceivesLevelLineAndZero) {
    testing_support::DiagnosticCapture tool;
    ASSERT_TRUE(tool.IsListening());
    const int line = __LINE__ + 1;
    ReportAssert(__FILE__, "CTest::Method", line, "Something broke");

    const auto payloads = tool.Payloads();
    ASSERT_EQ(1u, payloads.size());
    const std::vector<std::uint8_t>& payload = payloads[0];
    const std::string text(reinterpret_cast<const char*>(payload.data() + 4));
    EXPECT_EQ(4 + text.size() + 1, payload.size());
    EXPECT_EQ(32, payload[0]);
    EXPECT_EQ(0, payload[1] | payload[2] | payload[3]);
    EXPECT_EQ(0, payload.back());

    char thread[16];
    std::snprintf(thread, sizeof thread, "%08lx", ::GetCurrentThreadId());
    const std::regex format("\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d/\\d+ " + std::string(thread) +
                            " DiagnosticLogTest\\.cpp::CTest::Method," + std::to_string(line) +
                            ": \\*\\*\\* Assert: Something broke");
    EXPECT_TRUE(std::regex_match(text, format)) << text;
}

TEST_F(DiagnosticLogTest, NullMessageEndsWithTheBareAssertText) {
    testing_support::DiagnosticCapture tool;
    REPORT_ASSERT("CTest::Method", nullptr);
    const auto lines = tool.Lines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(": *** Assert", lines[0].substr(lines[0].size() - 12));
}

TEST_F(DiagnosticLogTest, OtherLevelsReachOnlyTheTool) {
    SetOption(OptionScope::MachineWide, "PIP", "true");
    {
        testing_support::DiagnosticCapture tool;
        WriteDiagnostic(7, 1, "a\\b.cpp", "CTest::Trace", 3, "trace text");
        const auto payloads = tool.Payloads();
        ASSERT_EQ(1u, payloads.size());
        EXPECT_EQ(7, payloads[0][0]);
    }
    WriteDiagnostic(7, 1, "a\\b.cpp", "CTest::Trace", 3, "trace text");
    EXPECT_EQ(-1, GetFileSizeOf(AssertionFilePath()));  // never written for level 7
}

TEST_F(DiagnosticLogTest, AssertionFileOnlyWhilePipReadsExactlyTrue) {
    SetOption(OptionScope::MachineWide, "PIP", "True");
    REPORT_ASSERT("CTest::Method", "first");
    EXPECT_EQ(-1, GetFileSizeOf(AssertionFilePath()));

    SetOption(OptionScope::MachineWide, "PIP", "true");
    REPORT_ASSERT("CTest::Method", "second");
    const std::string contents = ReadAll(AssertionFilePath());
    EXPECT_NE(std::string::npos, contents.find("CTest::Method"));
    EXPECT_NE(std::string::npos, contents.find(": *** Assert: second\r\n"));
    EXPECT_EQ(std::string::npos, contents.find("first"));
}

TEST_F(DiagnosticLogTest, AssertionFileOfTheLimitIsAppendedToAndOneByteMoreRestarted) {
    SetOption(OptionScope::MachineWide, "PIP", "true");
    const std::string path = AssertionFilePath();

    ASSERT_TRUE(testing_support::WriteWholeFile(path, std::string(5120, 'x')));
    REPORT_ASSERT("CTest::Method", "appended");
    std::string contents = ReadAll(path);
    EXPECT_EQ(std::string(5120, 'x'), contents.substr(0, 5120));
    EXPECT_NE(std::string::npos, contents.find("appended\r\n", 5120));

    ASSERT_TRUE(testing_support::WriteWholeFile(path, std::string(5121, 'x')));
    REPORT_ASSERT("CTest::Method", "restarted");
    contents = ReadAll(path);
    EXPECT_EQ(std::string::npos, contents.find('x'));
    EXPECT_NE(std::string::npos, contents.find("restarted\r\n"));
    EXPECT_EQ(contents.size() - 2, contents.find("\r\n"));  // one line only
}

TEST_F(DiagnosticLogTest, ReportRunsAtNormalPriorityAndRestoresTheCallers) {
    // A real handle, so the tool's own thread can read this thread's priority
    // while the report is being delivered to it.
    win::UniqueHandle self(
        ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, ::GetCurrentThreadId()));
    ASSERT_TRUE(self);
    std::atomic<int> during{THREAD_PRIORITY_ERROR_RETURN};
    testing_support::CopyDataWindow tool(
        diagnostic::kToolWindowTitle, [&](WPARAM, const COPYDATASTRUCT&) -> LRESULT {
            during = ::GetThreadPriority(self.Get());
            return TRUE;
        });
    ASSERT_NE(nullptr, tool.Window());

    const HANDLE thread = ::GetCurrentThread();
    ASSERT_TRUE(::SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL));
    REPORT_ASSERT("CTest::Method", "priority");
    const int after = ::GetThreadPriority(thread);
    ::SetThreadPriority(thread, THREAD_PRIORITY_NORMAL);

    EXPECT_EQ(THREAD_PRIORITY_NORMAL, during.load()) << "reported at the caller's low priority";
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, after);
}

TEST_F(DiagnosticLogTest, ConcurrentReportsEachGetAWholeTimestamp) {
    testing_support::DiagnosticCapture tool;
    constexpr int kThreads = 6;
    constexpr int kReports = 40;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < kReports; ++i)
                REPORT_ASSERT("CTest::Concurrent", "racing");
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    const auto lines = tool.Lines();
    ASSERT_EQ(static_cast<std::size_t>(kThreads * kReports), lines.size());
    const std::regex format("\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d/\\d+ [0-9a-f]{8} "
                            "DiagnosticLogTest\\.cpp::CTest::Concurrent,\\d+: \\*\\*\\* Assert: racing");
    for (const std::string& line : lines)
        EXPECT_TRUE(std::regex_match(line, format)) << line;
}

TEST(DiagnosticTimestamp, ElapsedMillisecondsGrowFromTheFirstCall) {
    const auto elapsed = [](const std::string& stamp) {
        return std::stoull(stamp.substr(stamp.rfind('/') + 1));
    };
    const unsigned long long first = elapsed(DiagnosticTimestamp());
    ::Sleep(50);
    const unsigned long long second = elapsed(DiagnosticTimestamp());
    EXPECT_GE(second, first + 40);
}

}  // namespace
