#include "ie/Download/ScreeningRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values, std::size_t padTo = kSignatureBytes) {
    std::vector<std::uint8_t> bytes;
    for (int value : values)
        bytes.push_back(static_cast<std::uint8_t>(value));
    while (bytes.size() < padTo)
        bytes.push_back(0x41);
    return bytes;
}

TEST(ScreeningRules, SignaturesOfProgramsAndMedia) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        ContentKind kind;
    } const cases[] = {
        {Bytes({0x4D, 0x5A, 0x90, 0x00, 0x03}), ContentKind::kProgram},
        {Bytes({0x4D, 0x5A, 0x90, 0x00, 0x04}), ContentKind::kNeither},  // all five bytes count
        {Bytes({'M', 'S', 'C', 'F'}), ContentKind::kProgram},
        {Bytes({0x50, 0x4B, 0x03, 0x04}), ContentKind::kProgram},
        {Bytes({0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1}), ContentKind::kProgram},
        {Bytes({0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE0}), ContentKind::kNeither},
        {Bytes({'R', 'a', 'r', '!', 0x1A, 0x07, 0x00}), ContentKind::kProgram},
        {Bytes({0x1F, 0x8B}), ContentKind::kProgram},
        {Bytes({'F', 'W', 'S'}), ContentKind::kMedia},
        {Bytes({'C', 'W', 'S'}), ContentKind::kMedia},
        {Bytes({0xFF, 0xD8, 0xFF}), ContentKind::kMedia},
        {Bytes({'G', 'I', 'F', '8'}), ContentKind::kMedia},
        {Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), ContentKind::kMedia},
        {Bytes({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66}), ContentKind::kMedia},
        {Bytes({'B', 'M'}), ContentKind::kMedia},
        {Bytes({'%', 'P', 'D', 'F'}), ContentKind::kNeither},
        // A row longer than what is there never matches.
        {Bytes({0xD0, 0xCF, 0x11}, 3), ContentKind::kNeither},
        {Bytes({}, 0), ContentKind::kNeither},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.kind, MatchSignature(c.bytes.data(), c.bytes.size())) << int(c.bytes.empty() ? -1 : c.bytes[0]);
    EXPECT_EQ(ContentKind::kNeither, MatchSignature(nullptr, 10));
}

TEST(ScreeningRules, MediaExtensionsOfThePathOnly) {
    struct Case {
        const char* path;
        bool media;
    } const cases[] = {
        {"/a/b.png", true}, {"/a/B.PNG", true}, {"/x.jpeg", true}, {"/x.jpg", true}, {"/x.gif", true},
        {"/x.swf", true},   {"/x.js", true},    {"/x.json", false}, {"/x.exe", false}, {"/png", false},
        {"/x.png.exe", false}, {"/x.exe.png", true}, {"", false}, {".png", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.media, HasMediaExtension(c.path)) << c.path;
}

std::vector<std::uint8_t> Record(std::int64_t time, const std::string& domain, char fill = '\0') {
    std::vector<std::uint8_t> record(kClickRecordSize, static_cast<std::uint8_t>(fill));
    std::memcpy(record.data(), &time, sizeof time);
    std::memcpy(record.data() + kClickDomainOffset, domain.data(), domain.size());
    return record;
}

TEST(ScreeningRules, LastClickCountsOnlyWithinTwoSecondsBefore) {
    const std::int64_t now = 1700000000;
    struct Case {
        std::int64_t time;
        const char* expected;
    } const cases[] = {
        {now, "example.com"},
        {now - 1, "example.com"},
        {now - 2, ""},
        {now + 1, ""},  // a click "in the future" is not recent
        {INT64_MIN, ""},
        {INT64_MAX, ""},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> record = Record(c.time, "example.com");
        EXPECT_EQ(c.expected, ReferringSiteFromClickRecord(record.data(), record.size(), now)) << c.time;
    }
}

TEST(ScreeningRules, LastClickDomainIsBoundedWhateverTheBlockHolds) {
    const std::int64_t now = 1000;
    // Not terminated anywhere: 199 bytes are taken.
    std::vector<std::uint8_t> record = Record(now, "", 'x');
    EXPECT_EQ(std::string(kClickDomainLimit, 'x'), ReferringSiteFromClickRecord(record.data(), record.size(), now));
    // A short block: only what it has.
    EXPECT_EQ(std::string(12, 'x'), ReferringSiteFromClickRecord(record.data(), kClickDomainOffset + 12, now));
    EXPECT_EQ("", ReferringSiteFromClickRecord(record.data(), kClickDomainOffset, now));
    EXPECT_EQ("", ReferringSiteFromClickRecord(nullptr, kClickRecordSize, now));
}

TEST(ScreeningRules, DoNotWarnListMatchesTheDownloadsSiteOnly) {
    struct Case {
        const char* url;
        const char* list;
        bool listed;
    } const cases[] = {
        {"http://www.example.com/setup.exe", "example.com", true},
        {"http://dl.cdn.Example.COM/setup.exe", "other.org;EXAMPLE.com", true},
        {"http://www.example.com/setup.exe", "http://example.com/index.html", true},
        {"http://www.example.co.uk/setup.exe", "example.co.uk", true},
        {"http://www.example.co.uk/setup.exe", "co.uk", true},  // beneath the listed name
        // A listed name inside another name, or the other way round, is not the site.
        {"http://notexample.com/setup.exe", "example.com", false},
        {"http://example.com.evil.net/setup.exe", "example.com", false},
        {"http://example.com/setup.exe", "www.example.com.au", false},
        {"http://evil.net/example.com/setup.exe", "example.com", false},
        // Empty things match nothing.
        {"http://www.example.com/setup.exe", "", false},
        {"http://www.example.com/setup.exe", ";;", false},
        {"", "example.com", false},
        {"not an address", "example.com;", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.listed, DownloadSiteOnList(c.url, c.list)) << c.url << " | " << c.list;
}

TEST(ScreeningRules, DialogTextAndOverrideNotice) {
    const std::string unknown =
        "We've tested thousands of programs, but don't know about this one. You should be careful with this download";
    EXPECT_EQ(unknown, WarningDialogText(""));
    EXPECT_EQ(unknown, WarningDialogText("Unknown checksum"));
    EXPECT_EQ("Known spyware", WarningDialogText("Known spyware"));

    EXPECT_EQ("type=override&url=http%3A%2F%2Fa.com%2Fx.exe&cksum=0123abcd",
              OverrideNoticeText("http://a.com/x.exe", "0123abcd"));
    EXPECT_EQ("type=override&url=http%3A%2F%2Fa.com%2Fx.exe", OverrideNoticeText("http://a.com/x.exe", ""));
    // An "&" in the address stays inside the url field.
    EXPECT_EQ("type=override&url=http%3A%2F%2Fa.com%2Fget%3Fid%3D1%26type%3Dspoof",
              OverrideNoticeText("http://a.com/get?id=1&type=spoof", ""));
}

}  // namespace
