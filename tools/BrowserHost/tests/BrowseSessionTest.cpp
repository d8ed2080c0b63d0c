// The main job as CI runs it: quillon-browse plays its built-in session
// against the add-on module and the rating service the module starts, and
// every step's line and picture must show what the shipped ratings and the
// shipped exploit list imply.
#include "service/CRatingsStore.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WindowCapture.h"
#include "tools/BrowserHost/FaceColour.h"
#include "tools/BrowserHost/SessionScript.h"
#include "utils/File/LaunchProgram.h"
#include "utils/Ownership/WinOwnership.h"
#include "utils/iRPC/Verdict.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using testing_support::ExecutableDirectory;
using testing_support::WindowCapture;

const char kShippedRatings[] =
#include "ShippedRatings.inc"
    ;
const char kShippedExploitList[] =
#include "ShippedExploitList.inc"
    ;

// The pages of the built-in session that the page scripts judge phishing.
const char* const kPhishingPages[] = {"http://paypal.com.account-verify.example/signin"};

constexpr DWORD kSessionTimeoutMs = 100000;

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return cells;
        start = tab + 1;
    }
}

std::string HostOf(const std::string& url) {
    const std::size_t start = url.find("://") + 3;
    return url.substr(start, url.find_first_of("/?#:", start) - start);
}

// The listed domain that covers the host, as the exploit list matches.
std::string ListedExploit(const std::string& host) {
    for (const std::string& entry : Lines(kShippedExploitList)) {
        if (entry.empty() || entry[0] == '#')
            continue;
        if (host == entry || (host.size() > entry.size() && host.compare(host.size() - entry.size(), entry.size(),
                                                                         entry) == 0 &&
                              host[host.size() - entry.size() - 1] == '.'))
            return entry;
    }
    return std::string();
}

// Runs a program and keeps what it printed; -1 when it did not end in time.
int RunProgram(const std::string& commandLine, const std::string& outputPath, DWORD timeoutMs) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const win::UniqueFile output(::CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output)
        return -1;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.Get();
    startup.hStdError = output.Get();
    startup.hStdInput = nullptr;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    const win::UniqueHandle processHandle(process.hProcess);
    const win::UniqueHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(processHandle.Get(), timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(processHandle.Get(), 99);
        return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(processHandle.Get(), &code);
    return static_cast<int>(code);
}

struct Expected {
    std::string status;
    bool balloon = false;
    bool alert = false;
    std::string blockedDomain;  // the exploit list entry that cancels the navigation
};

struct Played {
    std::string line;
    std::string picture;
    RECT button = {};
};

class BrowseSession : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new testing_support::ScratchDirectory("browse-session");
        const std::string bin = ExecutableDirectory();
        const std::string output = folder_->Path() + "printed.txt";
        exitCode_ = RunProgram("\"" + bin + "quillon-browse.exe\" --out \"" + folder_->Path() + "session\"", output,
                               kSessionTimeoutMs);
        printed_ = Lines(ReadAll(output));
        // The service the add-on started outlives the browser, as it does for users.
        LaunchProgram((bin + "Quillon.exe").c_str(), "/stop", 0, true);
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }

    // The steps of the built-in session and what each must show.
    static std::vector<std::pair<SessionStep, Expected>> Expectations() {
        std::vector<SessionStep> steps;
        std::string error;
        EXPECT_TRUE(ParseSession(DefaultSessionText(), steps, error)) << error;
        CRatingsStore ratings;
        EXPECT_TRUE(ratings.Load(kShippedRatings, "ratings.txt")) << ratings.LastError();
        std::vector<std::pair<SessionStep, Expected>> expectations;
        const SiteRating* page = nullptr;
        for (const SessionStep& step : steps) {
            Expected expected;
            if (step.kind == SessionStep::Kind::kPage) {
                const std::string host = HostOf(step.url);
                expected.blockedDomain = ListedExploit(host);
                page = expected.blockedDomain.empty() ? ratings.FindSite(host) : nullptr;
                // A blocked site is replaced by our own page, which gets no rating.
                expected.status = !expected.blockedDomain.empty() ? "off"
                                  : page                         ? kVerdictColorNames[page->verdict.color]
                                                                 : "grey";
                expected.balloon = page && page->verdict.code == VERDICT_WARN;
                for (const char* phishing : kPhishingPages)
                    expected.alert = expected.alert || step.url == phishing;
            } else {
                // Typing into a payment form on a WARN site brings the balloon up.
                expected.status = page ? kVerdictColorNames[page->verdict.color] : "grey";
                expected.balloon = page && page->verdict.code == VERDICT_WARN;
            }
            expectations.emplace_back(step, expected);
        }
        return expectations;
    }

    // Each step's printed line and the picture's row of session.tsv.
    static std::vector<Played> PlayedSteps() {
        std::vector<Played> played;
        for (const std::string& line : printed_) {
            if (line.compare(0, 5, "step ") == 0)
                played.push_back(Played{line, "", {}});
        }
        const std::vector<std::string> table = Lines(ReadAll(folder_->Path() + "session\\session.tsv"));
        for (std::size_t row = 1; row < table.size(); ++row) {
            const std::vector<std::string> cells = Cells(table[row]);
            const std::size_t step = row - 1;
            if (cells.size() != 7 || step >= played.size())
                continue;
            played[step].picture = cells[1];
            played[step].button = RECT{std::stol(cells[3]), std::stol(cells[4]), std::stol(cells[5]),
                                       std::stol(cells[6])};
        }
        return played;
    }

    // Every step's line against the ratings and lists; each picture's
    // status button by pixel; the HTML page's pictures in order.
    static void CheckLines();
    static void CheckPictures();
    static void CheckPage();

    // Whether quillon-browse got a toolbar band from the module (it says when not).
    static bool BandServed() {
        for (const std::string& line : printed_)
            if (line.compare(0, 32, "quillon-browse: no toolbar band:") == 0)
                return false;
        return true;
    }

    static testing_support::ScratchDirectory* folder_;
    static int exitCode_;
    static std::vector<std::string> printed_;
};

testing_support::ScratchDirectory* BrowseSession::folder_ = nullptr;
int BrowseSession::exitCode_ = -1;
std::vector<std::string> BrowseSession::printed_;

std::string Printed(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// One session for all checks: it takes seconds under Wine.
TEST_F(BrowseSession, LinesPicturesAndPageShowWhatTheShippedRatingsImply) {
    ASSERT_EQ(0, exitCode_) << Printed(printed_);
    CheckLines();
    CheckPictures();
    CheckPage();
}

void BrowseSession::CheckLines() {
    const auto expectations = Expectations();
    const std::vector<Played> played = PlayedSteps();
    ASSERT_EQ(expectations.size(), played.size()) << Printed(printed_);
    for (std::size_t i = 0; i < played.size(); ++i) {
        const SessionStep& step = expectations[i].first;
        const Expected& expected = expectations[i].second;
        const std::string& line = played[i].line;
        SCOPED_TRACE(line);
        const std::string action = step.kind == SessionStep::Kind::kPage
                                       ? "page " + step.url
                                       : "type \"" + step.text + "\" into " + step.field;
        EXPECT_EQ("step " + std::to_string(i + 1) + ": " + action + " -> ", line.substr(0, line.find(" -> ") + 4));
        // The band is a part of its own: while the module serves none, the
        // line says so, and the rest of the add-on's work is checked alike.
        if (BandServed())
            EXPECT_NE(std::string::npos, line.find(" status button " + expected.status + ";"));
        else
            EXPECT_NE(std::string::npos, line.find(" no status button (no toolbar band);"));
        if (expected.blockedDomain.empty()) {
            EXPECT_EQ(std::string::npos, line.find("navigation cancelled"));
        } else {
            EXPECT_NE(std::string::npos,
                      line.find("-> navigation cancelled, went to file:///"))
                << "the add-on sends the browser to its own page";
            EXPECT_NE(std::string::npos, line.find("/pages/exploit.html?domain=" + expected.blockedDomain + ";"));
        }
        EXPECT_EQ(expected.balloon, line.find("; no balloon;") == std::string::npos);
        EXPECT_EQ(expected.alert, line.find("; no alert") == std::string::npos);
    }
    EXPECT_NE(std::string::npos, printed_.back().find("session.html")) << "the page's path comes last";
}

void BrowseSession::CheckPictures() {
    const auto expectations = Expectations();
    const std::vector<Played> played = PlayedSteps();
    ASSERT_EQ(expectations.size(), played.size());
    for (std::size_t i = 0; i < played.size(); ++i) {
        SCOPED_TRACE(played[i].line);
        ASSERT_FALSE(played[i].picture.empty());
        const WindowCapture picture = WindowCapture::FromPng(folder_->Path() + "session\\" + played[i].picture);
        ASSERT_TRUE(picture.IsValid());
        const RECT& button = played[i].button;
        if (!BandServed()) {
            EXPECT_TRUE(::IsRectEmpty(&button)) << "a status button without a band";
            continue;
        }
        ASSERT_GT(button.right - button.left, 0) << "no status button in the picture";
        std::vector<std::uint32_t> face;
        for (int y = button.top; y < button.bottom; ++y) {
            for (int x = button.left; x < button.right; ++x) {
                const COLORREF colour = picture.PixelAt(x, y);
                face.push_back((GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour));
            }
        }
        EXPECT_EQ(expectations[i].second.status,
                  ClassifyFaceColour(face, button.right - button.left, button.bottom - button.top));
    }
}

void BrowseSession::CheckPage() {
    const std::string page = ReadAll(folder_->Path() + "session\\session.html");
    const std::vector<Played> played = PlayedSteps();
    ASSERT_FALSE(played.empty());
    std::size_t at = 0;
    for (const Played& step : played) {
        at = page.find("<img src=\"" + step.picture + "\"", at);
        EXPECT_NE(std::string::npos, at) << step.picture;
    }
}

}  // namespace
