#include "service/CServiceLog.h"

#include "tests/support/TestPaths.h"
#include "utils/File/PathTests.h"
#include "utils/File/UFile.h"

#include <gtest/gtest.h>

namespace {

std::string ReadText(const std::string& path) {
    UBuffer bytes;
    if (!UFile::ReadFile(path, bytes))
        return std::string();
    return std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Size());
}

TEST(ServiceLog, LinesAreTimedCleanedAndCut) {
    testing_support::ScratchDirectory scratch("QuillonServiceLog");
    CServiceLog log(scratch.Path() + "log.txt");
    log.Write("notice: type=phishing&name=a.example");
    log.Write("two\r\nlines\tand a tab");
    log.Write(std::string(5000, 'x'));
    const std::string text = ReadText(log.Path());
    // "YYYY-MM-DD hh:mm:ss " before each line.
    ASSERT_GT(text.size(), 20u);
    EXPECT_EQ('-', text[4]);
    EXPECT_EQ(':', text[13]);
    EXPECT_EQ(" notice: type=phishing&name=a.example\r\n", text.substr(19, 39));
    EXPECT_NE(std::string::npos, text.find(" two  lines and a tab\r\n"));
    EXPECT_NE(std::string::npos, text.find(std::string(CServiceLog::kMaxLine, 'x') + "\r\n"));
    EXPECT_EQ(std::string::npos, text.find(std::string(CServiceLog::kMaxLine + 1, 'x')));
}

TEST(ServiceLog, AFullLogMakesRoomAndKeepsOneOldFile) {
    testing_support::ScratchDirectory scratch("QuillonServiceLogFull");
    CServiceLog log(scratch.Path() + "log.txt");
    const std::string line(1000, 'y');
    for (int i = 0; i < 3 * CServiceLog::kLimit / 1000; ++i)
        log.Write(line);
    log.Write("last");
    EXPECT_LE(GetFileSizeOf(log.Path()), CServiceLog::kLimit + 1100);
    EXPECT_LE(GetFileSizeOf(log.Path() + ".old"), CServiceLog::kLimit + 1100);
    EXPECT_GE(GetFileSizeOf(log.Path() + ".old"), CServiceLog::kLimit);
    EXPECT_NE(std::string::npos, ReadText(log.Path()).find(" last\r\n"));
}

}  // namespace
