// Downloads for real: urlmon (Wine's) fetches from a loopback HTTP server,
// places the filter registered through the process's internet session into
// the stream, the filter asks the real rating service, and a second thread
// answers the warning dialog as the user would.
#include "ie/Download/MimeFilter.h"
#include "ie/Download/ScreeningRules.h"
#include "ie/Module/DownloadFilterSession.h"
#include "service/tests/ServiceProcess.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TestPaths.h"
#include "utils/SharedMemory/SharedMemoryLock.h"

#include <gtest/gtest.h>

#include <urlmon.h>

#include <atomic>
#include <fstream>
#include <thread>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The user: waits for the warning dialog and presses a button.
std::thread Answerer(int button, std::atomic<int>& dialogs, std::atomic<bool>& stop) {
    return std::thread([button, &dialogs, &stop] {
        while (!stop) {
            HWND dialog = ::FindWindowA("#32770", "Quillon");
            if (dialog && ::IsWindowVisible(dialog)) {
                ++dialogs;
                ::PostMessageA(::GetDlgItem(dialog, button), BM_CLICK, 0, 0);
                while (::IsWindow(dialog) && !stop)
                    ::Sleep(10);
            }
            ::Sleep(10);
        }
    });
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> FileBytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(UrlDownload, ScreenedDownloadsThroughTheRegisteredFilter) {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    service_testing::ServiceProcess service;
    ASSERT_TRUE(service.Window());
    CSharedMemory enable(CMimeFilter::kEnableFlagName);
    ASSERT_TRUE(enable.Init(1));
    {
        CSharedMemoryLock lock(enable);
        enable.View()[0] = 1;
    }
    testing_support::LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    // "abc" is a program the sample ratings know as adware; the other file
    // is unknown and no program, so nobody is asked.
    std::vector<std::uint8_t> plain(30000);
    for (std::size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<std::uint8_t>('a' + i % 26);
    server.Serve("/warn.bin", "application/octet-stream", Bytes("abc"));
    server.Serve("/plain.zip", "application/zip", plain);
    server.Serve("/warn.exe", "application/x-msdos-program", Bytes("abc"));

    ASSERT_TRUE(RegisterDownloadFilter());

    struct Case {
        const char* path;
        bool goOn;
        bool arrives;
        int dialogs;
        std::vector<std::uint8_t> bytes;
    } const cases[] = {
        {"/warn.bin", false, false, 1, Bytes("abc")},
        {"/warn.exe", true, true, 1, Bytes("abc")},
        {"/plain.zip", false, true, 0, plain},
    };
    const testing_support::ScratchDirectory scratch("UrlDownload");
    const std::string& folder = scratch.Path();
    for (const Case& c : cases) {
        std::atomic<int> dialogs{0};
        std::atomic<bool> stop{false};
        std::thread user = Answerer(c.goOn ? IDOK : IDCANCEL, dialogs, stop);
        const std::wstring target = std::wstring(folder.begin(), folder.end()) + L"\\download.bin";
        ::DeleteFileW(target.c_str());
        const ULONGLONG start = ::GetTickCount64();
        const HRESULT hr = ::URLDownloadToFileW(nullptr, server.Url(c.path).c_str(), target.c_str(), 0, nullptr);
        const ULONGLONG took = ::GetTickCount64() - start;
        stop = true;
        user.join();
        EXPECT_LT(took, 8000u) << c.path << ": the binding never hangs";
        EXPECT_EQ(c.dialogs, dialogs.load()) << c.path;
        if (c.arrives) {
            EXPECT_EQ(S_OK, hr) << c.path;
            EXPECT_EQ(c.bytes, FileBytes(target)) << c.path << ": byte for byte";
        } else {
            EXPECT_EQ(INET_E_DATA_NOT_AVAILABLE, hr) << c.path;
            EXPECT_NE(c.bytes, FileBytes(target)) << c.path << ": the declined program is not there";
        }
    }
    EXPECT_TRUE(UnregisterDownloadFilter());
    ::CoUninitialize();
}

}  // namespace
