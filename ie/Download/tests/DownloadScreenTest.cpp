#include "ie/Download/DownloadScreen.h"

#include "utils/Hash/UMD5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Program(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
    const std::uint8_t header[] = {0x4D, 0x5A, 0x90, 0x00, 0x03};
    for (std::size_t i = 0; i < sizeof header && i < size; ++i)
        bytes[i] = header[i];
    return bytes;
}

std::vector<std::uint8_t> Png(std::size_t size) {
    std::vector<std::uint8_t> bytes = Program(size);
    const std::uint8_t header[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (std::size_t i = 0; i < sizeof header && i < size; ++i)
        bytes[i] = header[i];
    return bytes;
}

std::string Md5(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
    return UMD5::HexOf(bytes.data() + from, count);
}

// A screen over a stream with scripted answers, recording what it asked.
struct ScreenRun {
    std::vector<std::string> asked;
    std::vector<CDownloadScreen::Verdict> answers;
    CDownloadScreen screen;

    explicit ScreenRun(const std::string& url, std::vector<CDownloadScreen::Verdict> scripted = {})
        : answers(std::move(scripted)), screen([this](const std::string& digest, CDownloadScreen::Verdict& verdict) {
              asked.push_back(digest);
              if (answers.empty())
                  return false;
              verdict = answers.front();
              answers.erase(answers.begin());
              return true;
          }) {
        screen.SetDownloadUrl(url);
    }

    void Feed(const std::vector<std::uint8_t>& bytes, const std::vector<std::size_t>& chunks) {
        std::size_t at = 0;
        for (std::size_t chunk : chunks) {
            screen.OnData(bytes.data() + at, chunk);
            at += chunk;
        }
        while (at < bytes.size()) {
            const std::size_t chunk = std::min<std::size_t>(8192, bytes.size() - at);
            screen.OnData(bytes.data() + at, chunk);
            at += chunk;
        }
        screen.OnEndOfData();
    }
};

CDownloadScreen::Verdict Answer(std::int32_t code, const std::string& list = std::string()) {
    CDownloadScreen::Verdict verdict;
    verdict.code = code;
    verdict.text = "text " + std::to_string(code);
    verdict.doNotWarnList = list;
    return verdict;
}

TEST(DownloadScreen, ChecksumsAreAskedAtTheBoundaryAndAtTheEnd) {
    struct Case {
        const char* name;
        std::size_t size;
        std::vector<std::size_t> chunks;  // first reads; then 8192 at a time
        bool partialAsked;
    } const cases[] = {
        {"shorter than 20480: once, at the end", 20479, {}, false},
        {"exactly 20480", 20480, {}, true},
        {"exactly 20480 in one read", 20480, {20480}, true},
        {"boundary inside a read", 30005, {1, 3, 20000}, true},
        {"first reads shorter than 10 bytes", 100, {1, 2, 3, 4}, false},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> bytes = Program(c.size);
        ScreenRun run("http://www.example.com/setup.exe", {Answer(1), Answer(1)});
        run.Feed(bytes, c.chunks);
        std::vector<std::string> expected;
        if (c.partialAsked)
            expected.push_back(Md5(bytes, 0, 20480));
        expected.push_back(Md5(bytes, 0, bytes.size()));
        EXPECT_EQ(expected, run.asked) << c.name;
        EXPECT_TRUE(run.screen.ProgramByContent()) << c.name;
        EXPECT_FALSE(run.screen.WarningDue()) << c.name;
    }
}

TEST(DownloadScreen, MediaIsNeverChecksummed) {
    // By content, whatever the address.
    ScreenRun byContent("http://www.example.com/setup.exe");
    byContent.Feed(Png(50000), {});
    EXPECT_TRUE(byContent.asked.empty());
    EXPECT_TRUE(byContent.screen.MediaByContent());

    // By extension, when the bytes are not a program: ".PNG" counts too.
    ScreenRun byExtension("http://www.example.com/picture.PNG");
    std::vector<std::uint8_t> text(30000, 'a');
    byExtension.Feed(text, {});
    EXPECT_TRUE(byExtension.screen.MediaByExtension());
    EXPECT_TRUE(byExtension.asked.empty());

    // The query string is not the path: a program with an image in its query.
    ScreenRun queryImage("http://www.example.com/run.exe?img=a.png");
    EXPECT_FALSE(queryImage.screen.MediaByExtension());
}

TEST(DownloadScreen, ProgramBehindAnImageExtensionIsChecksummedFromItsSignatureOn) {
    const std::vector<std::uint8_t> bytes = Program(30000);
    ScreenRun run("http://www.example.com/IMAGE.JPG", {Answer(4)});
    // Three bytes first: not yet known to be a program, so left out.
    run.Feed(bytes, {3});
    EXPECT_TRUE(run.screen.MediaByExtension());
    EXPECT_TRUE(run.screen.ProgramByContent());
    ASSERT_EQ(1u, run.asked.size());
    EXPECT_EQ(Md5(bytes, 3, 20480), run.asked[0]);
    EXPECT_TRUE(run.screen.WarningDue());
    EXPECT_TRUE(run.screen.ConfirmationNeeded());
}

TEST(DownloadScreen, WhichVerdictsMakeAWarningDue) {
    struct Case {
        std::int32_t code;
        bool program;
        bool due;
        bool confirm;
    } const cases[] = {
        {0, true, false, false}, {1, true, false, false},  {99, true, false, false},
        {2, true, true, true},   {3, true, true, false},   // UNKNOWN: no dialog, but no more queries
        {4, true, true, true},   {2, false, false, false}, {3, false, false, false},
        {4, false, true, true},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = c.program ? Program(30000) : std::vector<std::uint8_t>(30000, 'z');
        ScreenRun run("http://www.example.com/setup.bin", {Answer(c.code), Answer(c.code)});
        run.Feed(bytes, {});
        EXPECT_EQ(c.due, run.screen.WarningDue()) << c.code << " " << c.program;
        EXPECT_EQ(c.confirm, run.screen.ConfirmationNeeded()) << c.code << " " << c.program;
        // A due warning stops the end-of-data query.
        EXPECT_EQ(c.due ? 1u : 2u, run.asked.size()) << c.code << " " << c.program;
    }
}

TEST(DownloadScreen, DialogOnceAndNotForListedSites) {
    ScreenRun run("http://dl.example.com/setup.exe", {Answer(4)});
    run.Feed(Program(30000), {});
    ASSERT_TRUE(run.screen.ConfirmationNeeded());
    run.screen.SetDialogShown();
    EXPECT_FALSE(run.screen.ConfirmationNeeded());

    ScreenRun listed("http://dl.example.com/setup.exe", {Answer(4, "other.org;example.com")});
    listed.Feed(Program(30000), {});
    EXPECT_TRUE(listed.screen.WarningDue());
    EXPECT_FALSE(listed.screen.ConfirmationNeeded());

    ScreenRun substring("http://dl.myexample.com/setup.exe", {Answer(4, "example.com")});
    substring.Feed(Program(30000), {});
    EXPECT_TRUE(substring.screen.ConfirmationNeeded());
}

TEST(DownloadScreen, NoAnswerKeepsTheStoredVerdict) {
    // The verdict window could not be made: nothing changes.
    ScreenRun run("http://www.example.com/setup.exe", {});
    run.Feed(Program(100), {});
    EXPECT_EQ(1u, run.asked.size());
    EXPECT_EQ(99, run.screen.LastVerdict().code);
    EXPECT_FALSE(run.screen.WarningDue());
}

}  // namespace
