// The verdict window against the real rating service (its shipped sample
// ratings) and against a stand-in that stays silent or fails.
#include "ie/Download/MimeWnd.h"
#include "service/tests/ServiceProcess.h"
#include "tests/support/FakeRatingService.h"
#include "utils/Hash/UMD5.h"
#include "utils/iRPC/CClientConnectionFail.h"
#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/RPCMessageTypes.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {

// A site the sample ratings do not know, so the checksum decides.
constexpr char kUnknownSiteDownload[] = "http://downloads.nowhere-known.test/setup.exe";

std::string Md5(const std::string& text) {
    return UMD5::HexOf(text.data(), text.size());
}

struct Timed {
    MimeVerdict verdict;
    ULONGLONG milliseconds;
    bool created;
};

Timed RunTimed(const std::string& digest, const std::string& url, const std::string& site) {
    Timed timed{};
    const ULONGLONG start = ::GetTickCount64();
    timed.created = RunMimeWnd(digest, url, site, timed.verdict);
    timed.milliseconds = ::GetTickCount64() - start;
    return timed;
}

void SendPayload(HWND to, std::uint32_t type, CRPCMsg& message) {
    UIOBuffer payload;
    ASSERT_TRUE(message.MarshalPayload(0, payload));
    COPYDATASTRUCT copyData = {type, static_cast<DWORD>(payload.Size()), const_cast<std::uint8_t*>(payload.Data())};
    ::SendMessageA(to, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copyData));
}

TEST(MimeWnd, VerdictsFromTheRealServiceArriveWithoutWaitingOut) {
    service_testing::ServiceProcess service;
    ASSERT_TRUE(service.Window());
    struct Case {
        const char* file;
        const char* url;
        const char* site;
        std::int32_t verdict;
        const char* text;
    } const cases[] = {
        {"abc", kUnknownSiteDownload, "", 4, "This program installs adware that shows pop-up advertising."},
        {"a", kUnknownSiteDownload, "", 2,
         "This installer also offers a browser toolbar; untick it if you do not want it."},
        // A certified referring site wins over the checksum, whatever came first.
        {"abc", kUnknownSiteDownload, "example.com", 0, "You are downloading from a certified site."},
        {"abc", "http://www.example.com/setup.exe", "", 0, "You are downloading from a certified site."},
    };
    for (const Case& c : cases) {
        const Timed timed = RunTimed(Md5(c.file), c.url, c.site);
        ASSERT_TRUE(timed.created);
        EXPECT_EQ(c.verdict, timed.verdict.verdict) << c.file << " " << c.site;
        EXPECT_EQ(c.text, timed.verdict.text) << c.file << " " << c.site;
        // Every answer counted: done long before the 2.5 s limit.
        EXPECT_LT(timed.milliseconds, 1500u) << c.file << " " << c.site;
    }
}

TEST(MimeWnd, ASilentServiceIsWaitedForUpToTheLimit) {
    testing_support::FakeRatingService service;  // records, never answers
    struct Case {
        UINT wait;
        ULONGLONG atLeast;
        ULONGLONG atMost;
    } const cases[] = {
        {300, 290, 1500},
        {0, 2490, 4000},  // the product's own 2.5 s, once
    };
    for (const Case& c : cases) {
        CMimeWnd::SetWaitForTesting(c.wait);
        const Timed timed = RunTimed(Md5("abc"), kUnknownSiteDownload, "example.org");
        ASSERT_TRUE(timed.created);
        EXPECT_EQ(99, timed.verdict.verdict);
        EXPECT_EQ("Unknown download", timed.verdict.text);
        EXPECT_GE(timed.milliseconds, c.atLeast);
        EXPECT_LE(timed.milliseconds, c.atMost);
    }
    CMimeWnd::SetWaitForTesting(0);
    // Both sites were asked about.
    EXPECT_TRUE(service.WaitForQueries(4));
}

TEST(MimeWnd, TheLoopEndsOnlyWithItsOwnWindowAndPassesAQuitOn) {
    testing_support::FakeRatingService service;
    CMimeWnd::SetWaitForTesting(300);
    // Another window's thread message of the kind that once ended the loop.
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_USER, 0, 0);
    Timed timed = RunTimed(Md5("abc"), kUnknownSiteDownload, "");
    EXPECT_GE(timed.milliseconds, 290u);

    // A quit message ends the wait, and is there again for the thread's loop.
    ::PostQuitMessage(7);
    HWND window = nullptr;
    {
        CMimeWnd verdictWindow(Md5("abc"), kUnknownSiteDownload, "");
        ASSERT_TRUE(verdictWindow.Create());
        window = verdictWindow.Window();
        const ULONGLONG start = ::GetTickCount64();
        verdictWindow.Wait();
        EXPECT_LT(::GetTickCount64() - start, 250u);
        EXPECT_FALSE(verdictWindow.Window());
        EXPECT_FALSE(::IsWindow(window)) << "no window outlives the wait";
    }
    MSG message;
    ASSERT_TRUE(::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, message.wParam);
    CMimeWnd::SetWaitForTesting(0);
}

TEST(MimeWnd, AConnectionFailureEndsTheWaitButKeepsWhatArrived) {
    testing_support::FakeRatingService service;
    // The service's answer documents are read with MSXML.
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    CMimeWnd::SetWaitForTesting(5000);
    CMimeWnd window(Md5("abc"), kUnknownSiteDownload, "");
    ASSERT_TRUE(window.Create());
    const std::string document = "<DownloadQueryResponse><DownloadInfo title=\"Setup\" expires=\"" +
                                 std::to_string(std::time(nullptr) + 3600) +
                                 "\"><Classification code=\"WARN\" color=\"red\"><description>Adware"
                                 "</description></Classification></DownloadInfo></DownloadQueryResponse>";
    CClientMD5Results checksum(document.c_str());
    SendPayload(window.Window(), RPC_CLIENT_MD5_RESULTS, checksum);
    ASSERT_TRUE(window.Window());
    CClientConnectionFail failure;
    SendPayload(window.Window(), RPC_CLIENT_CONNECTION_FAIL, failure);
    EXPECT_FALSE(window.Window()) << "the failure ends the wait at once";
    window.Wait();
    EXPECT_EQ(4, window.Merge().Verdict());
    EXPECT_EQ("Adware", window.Merge().Text());
    CMimeWnd::SetWaitForTesting(0);
    ::CoUninitialize();
}

}  // namespace
