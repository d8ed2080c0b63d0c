// The filter between stand-ins: a protocol beneath that serves chosen bytes
// in chosen pieces and a sink above, both writing one call log, with the
// verdict and the user's answer scripted per test.
#include "ie/Download/MimeFilter.h"
#include "ie/Download/ScreeningRules.h"
#include "tests/support/FakeDownloadStream.h"
#include "tests/support/FakeRatingService.h"
#include "utils/Hash/UMD5.h"
#include "utils/Options/Options.h"
#include "utils/SharedMemory/SharedMemoryLock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

using testing_support::CallLog;
using testing_support::FakeProtocol;
using testing_support::FakeProtocolSink;
using testing_support::HexResult;

namespace {

// What the scripted service and user say, and what they were asked.
struct Script {
    std::vector<std::int32_t> verdicts;  // one per query; none left: no window
    std::string list;
    bool goOn = false;
    std::vector<std::string> digests;
    std::vector<std::string> sites;
    int dialogs = 0;
    std::string dialogText;
    std::int32_t dialogVerdict = 0;
    // A Read made from inside the wait, as a re-entrant caller would.
    IInternetProtocol* nestedReader = nullptr;
    HRESULT nestedResult = S_OK;
};
Script* g_script = nullptr;

Script Answers(std::vector<std::int32_t> verdicts) {
    Script script;
    script.verdicts = std::move(verdicts);
    return script;
}

bool ScriptedVerdict(const std::string& digest, const std::string&, const std::string& site,
                     CDownloadScreen::Verdict& verdict) {
    g_script->digests.push_back(digest);
    g_script->sites.push_back(site);
    if (g_script->nestedReader) {
        char buffer[16];
        ULONG read = 0;
        g_script->nestedResult = g_script->nestedReader->Read(buffer, sizeof buffer, &read);
    }
    if (g_script->digests.size() > g_script->verdicts.size())
        return false;
    verdict.code = g_script->verdicts[g_script->digests.size() - 1];
    verdict.text = "scripted";
    verdict.doNotWarnList = g_script->list;
    return true;
}

bool ScriptedConfirm(HWND, const std::string& text, std::int32_t verdict) {
    ++g_script->dialogs;
    g_script->dialogText = text;
    g_script->dialogVerdict = verdict;
    return g_script->goOn;
}

std::vector<std::uint8_t> Program(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 13 + 1);
    const std::uint8_t header[] = {0x4D, 0x5A, 0x90, 0x00, 0x03};
    std::memcpy(bytes.data(), header, std::min(size, sizeof header));
    return bytes;
}

class MimeFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_script = &script_;
        CMimeFilter::SetVerdictFunction(&ScriptedVerdict);
        CMimeFilter::SetConfirmFunction(&ScriptedConfirm);
        ASSERT_TRUE(enable_.Init(1));
        SetEnabled(1);
        ASSERT_TRUE(clicks_.Init(static_cast<DWORD>(kClickRecordSize)));
        WriteClick(0, "");
    }
    void TearDown() override {
        CMimeFilter::SetVerdictFunction(nullptr);
        CMimeFilter::SetConfirmFunction(nullptr);
        g_script = nullptr;
    }

    void SetEnabled(std::uint8_t on) {
        CSharedMemoryLock lock(enable_);
        ASSERT_TRUE(lock.Held());
        enable_.View()[0] = on;
    }
    void WriteClick(std::int64_t time, const std::string& domain) {
        CSharedMemoryLock lock(clicks_);
        ASSERT_TRUE(lock.Held());
        std::memset(clicks_.View(), 0, kClickRecordSize);
        std::memcpy(clicks_.View(), &time, sizeof time);
        std::memcpy(clicks_.View() + kClickDomainOffset, domain.data(), domain.size());
    }

    // A filter started over the protocol, as urlmon starts one.
    win::ComPtr<IInternetProtocol> StartFilter(FakeProtocol& protocol, FakeProtocolSink& sink,
                                               HRESULT expected = S_OK) {
        win::ComPtr<IInternetProtocol> filter;
        EXPECT_EQ(S_OK, CMimeFilter::CreateInstance(IID_IInternetProtocol, filter.ReleaseAndGetVoidAddressOf()));
        PROTOCOLFILTERDATA data = {sizeof data, nullptr, &protocol, nullptr, 0};
        EXPECT_EQ(expected, filter->Start(L"application/octet-stream", &sink, &sink, PI_FILTER_MODE | PI_FORCE_ASYNC,
                                          reinterpret_cast<HANDLE_PTR>(&data)));
        return filter;
    }

    // Reads until the filter says the end or fails; the bytes read.
    static std::vector<std::uint8_t> ReadAll(IInternetProtocol* filter, HRESULT& last, ULONG chunk = 8192) {
        std::vector<std::uint8_t> got;
        std::vector<std::uint8_t> buffer(chunk);
        for (int i = 0; i < 10000; ++i) {
            ULONG read = 0;
            last = filter->Read(buffer.data(), chunk, &read);
            got.insert(got.end(), buffer.begin(), buffer.begin() + read);
            if (last != S_OK)
                break;
        }
        return got;
    }

    Script script_;
    CallLog log_;
    CSharedMemory enable_{CMimeFilter::kEnableFlagName};
    CSharedMemory clicks_{CMimeFilter::kClickRecordName};
};

TEST_F(MimeFilterTest, EveryCallIsHandedOnUnchanged) {
    FakeProtocol protocol(log_, Program(10));
    FakeProtocolSink sink(log_, L"http://www.example.com/setup.exe");
    win::ComPtr<IInternetProtocol> filter = StartFilter(protocol, sink);
    win::ComPtr<IInternetProtocolSink> filterSink;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_IInternetProtocolSink, filterSink.ReleaseAndGetVoidAddressOf()));
    PROTOCOLDATA data = {};
    LARGE_INTEGER move = {};
    EXPECT_EQ(S_OK, filter->Continue(&data));
    EXPECT_EQ(E_NOTIMPL, filter->Suspend());
    EXPECT_EQ(E_NOTIMPL, filter->Resume());
    EXPECT_EQ(E_NOTIMPL, filter->Seek(move, 0, nullptr));
    EXPECT_EQ(S_OK, filter->LockRequest(0));
    EXPECT_EQ(S_OK, filter->UnlockRequest());
    EXPECT_EQ(S_OK, filterSink->Switch(&data));
    EXPECT_EQ(S_OK, filterSink->ReportProgress(BINDSTATUS_CACHEFILENAMEAVAILABLE, L"C:\\x"));
    EXPECT_EQ(S_OK, filterSink->ReportData(BSCF_FIRSTDATANOTIFICATION, 10, 10));
    EXPECT_EQ(S_OK, filterSink->ReportResult(S_OK, 0, nullptr));
    EXPECT_EQ(S_OK, filter->Abort(E_ABORT, 0));
    EXPECT_EQ(S_OK, filter->Terminate(0));
    // After Terminate nothing goes up any more, even if the protocol reports.
    EXPECT_EQ(E_FAIL, filterSink->ReportResult(S_OK, 0, nullptr));
    const CallLog expected = {"protocol Continue",
                              "protocol Suspend",
                              "protocol Resume",
                              "protocol Seek",
                              "protocol LockRequest",
                              "protocol UnlockRequest",
                              "sink Switch",
                              "sink ReportProgress " + std::to_string(BINDSTATUS_CACHEFILENAMEAVAILABLE),
                              "sink ReportData 1 10/10",
                              "sink ReportResult 00000000",
                              "protocol Abort " + HexResult(E_ABORT),
                              "protocol Terminate"};
    EXPECT_EQ(expected, log_);
    filterSink.Reset();
    filter.Reset();
    EXPECT_EQ(1u, protocol.References()) << "the filter let go of the protocol";
    EXPECT_EQ(1u, sink.References()) << "the filter let go of the sink";
}

TEST_F(MimeFilterTest, StartRefusesWhatIsNotAFilterStart) {
    win::ComPtr<IInternetProtocol> filter;
    ASSERT_EQ(S_OK, CMimeFilter::CreateInstance(IID_IInternetProtocol, filter.ReleaseAndGetVoidAddressOf()));
    FakeProtocolSink sink(log_, L"http://www.example.com/setup.exe");
    FakeProtocol protocol(log_, Program(10));
    PROTOCOLFILTERDATA data = {sizeof data, nullptr, &protocol, nullptr, 0};
    EXPECT_EQ(E_INVALIDARG, filter->Start(L"application/octet-stream", &sink, &sink, PI_FORCE_ASYNC,
                                          reinterpret_cast<HANDLE_PTR>(&data)));
    PROTOCOLFILTERDATA empty = {sizeof empty, nullptr, nullptr, nullptr, 0};
    EXPECT_EQ(E_INVALIDARG, filter->Start(L"application/octet-stream", &sink, &sink, PI_FILTER_MODE,
                                          reinterpret_cast<HANDLE_PTR>(&empty)));
    // Never started: nothing beneath to read from or hand calls to.
    char buffer[4];
    ULONG read = 0;
    EXPECT_EQ(E_FAIL, filter->Read(buffer, sizeof buffer, &read));
    EXPECT_EQ(E_FAIL, filter->LockRequest(0));
    EXPECT_EQ(E_FAIL, filter->Abort(E_ABORT, 0));
    EXPECT_TRUE(log_.empty());
}

TEST_F(MimeFilterTest, WhatIsScreenedAtAll) {
    struct Case {
        const wchar_t* url;
        std::uint8_t enabled;
        bool screened;
    } const cases[] = {
        {L"http://www.example.com/setup.exe", 1, true},
        {L"https://www.example.com/setup.exe", 1, true},
        {L"ftp://www.example.com/setup.exe", 1, false},
        {L"http://127.0.0.1/setup.exe", 1, false},
        {L"http://localhost/setup.exe", 1, false},
        {L"http://192.168.1.10/setup.exe", 1, false},
        {L"http://10.1.2.3/setup.exe", 1, false},
        {L"http://www.example.com/setup.exe", 0, false},  // the product is switched off
    };
    for (const Case& c : cases) {
        SetEnabled(c.enabled);
        script_ = Answers({1});
        const std::vector<std::uint8_t> bytes = Program(30000);
        FakeProtocol protocol(log_, bytes);
        FakeProtocolSink sink(log_, c.url);
        win::ComPtr<IInternetProtocol> filter = StartFilter(protocol, sink);
        HRESULT last = S_OK;
        EXPECT_EQ(bytes, ReadAll(filter.Get(), last)) << c.enabled;
        EXPECT_EQ(S_FALSE, last);
        EXPECT_EQ(c.screened ? 2u : 0u, script_.digests.size()) << c.enabled;
    }
}

TEST_F(MimeFilterTest, ChecksumsOfWhatPassesInAnyPieces) {
    struct Case {
        std::size_t size;
        std::vector<ULONG> pieces;
    } const cases[] = {
        {20480, {}}, {20479, {}}, {30005, {1, 2, 3, 4, 8192}}, {100, {7}},
    };
    for (const Case& c : cases) {
        script_ = Answers({1, 1});
        const std::vector<std::uint8_t> bytes = Program(c.size);
        FakeProtocol protocol(log_, bytes, c.pieces);
        FakeProtocolSink sink(log_, L"http://www.example.com/setup.exe");
        win::ComPtr<IInternetProtocol> filter = StartFilter(protocol, sink);
        HRESULT last = S_OK;
        EXPECT_EQ(bytes, ReadAll(filter.Get(), last)) << c.size;
        std::vector<std::string> expected;
        if (c.size >= 20480)
            expected.push_back(UMD5::HexOf(bytes.data(), 20480));
        expected.push_back(UMD5::HexOf(bytes.data(), bytes.size()));
        EXPECT_EQ(expected, script_.digests) << c.size;
    }
}

TEST_F(MimeFilterTest, DecliningSticks) {
    script_ = Answers({4});
    script_.goOn = false;
    const std::vector<std::uint8_t> bytes = Program(50000);
    FakeProtocol protocol(log_, bytes);
    FakeProtocolSink sink(log_, L"http://www.example.com/setup.exe");
    win::ComPtr<IInternetProtocol> filter = StartFilter(protocol, sink);
    win::ComPtr<IInternetProtocolSink> filterSink;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_IInternetProtocolSink, filterSink.ReleaseAndGetVoidAddressOf()));

    HRESULT last = S_OK;
    const std::vector<std::uint8_t> got = ReadAll(filter.Get(), last);
    EXPECT_EQ(INET_E_DATA_NOT_AVAILABLE, last);
    EXPECT_EQ(1, script_.dialogs);
    EXPECT_EQ(4, script_.dialogVerdict);
    EXPECT_LT(got.size(), 20480u) << "the chunk that completed the first 20480 bytes is withheld";
    // The protocol beneath was aborted and the caller heard the failure once.
    const CallLog tail(log_.end() - 3, log_.end());
    const CallLog expected = {"protocol Read", "protocol Abort " + HexResult(E_ABORT),
                              "sink ReportResult " + HexResult(INET_E_DATA_NOT_AVAILABLE)};
    EXPECT_EQ(expected, tail);

    // A retrying caller gets nothing more, and reads nothing beneath.
    const std::size_t position = protocol.Position();
    log_.clear();
    std::vector<std::uint8_t> buffer(8192);
    ULONG read = 1;
    EXPECT_EQ(INET_E_DATA_NOT_AVAILABLE, filter->Read(buffer.data(), 8192, &read));
    EXPECT_EQ(0u, read);
    EXPECT_EQ(position, protocol.Position());
    // The protocol's own answer to the abort does not reach the caller.
    EXPECT_EQ(S_OK, filterSink->ReportResult(E_ABORT, 0, nullptr));
    EXPECT_EQ(S_OK, filterSink->ReportData(BSCF_LASTDATANOTIFICATION, 50000, 50000));
    EXPECT_TRUE(log_.empty()) << log_.front();
    EXPECT_EQ(1, script_.dialogs);
}

TEST_F(MimeFilterTest, GoingOnReadsEverythingAndTellsTheService) {
    testing_support::FakeRatingService service;
    ASSERT_TRUE(SetOption(OptionScope::MachineWide, "PIP", "true"));
    script_ = Answers({2});
    script_.goOn = true;
    const std::vector<std::uint8_t> bytes = Program(30000);
    FakeProtocol protocol(log_, bytes);
    FakeProtocolSink sink(log_, L"http://www.example.com/get?id=1&x=y");
    win::ComPtr<IInternetProtocol> filter = StartFilter(protocol, sink);
    HRESULT last = S_OK;
    EXPECT_EQ(bytes, ReadAll(filter.Get(), last));
    EXPECT_EQ(S_FALSE, last);
    EXPECT_EQ(1, script_.dialogs);
    EXPECT_EQ(1u, script_.digests.size()) << "a due warning asks no more";
    EXPECT_EQ("scripted", script_.dialogText);
    ASSERT_TRUE(service.WaitForNotices(1));
    EXPECT_EQ("type=override&url=http%3A%2F%2Fwww.example.com%2Fget%3Fid%3D1%26x%3Dy&cksum=" +
                  UMD5::HexOf(bytes.data(), 20480),
              service.Notices()[0]);
    SetOption(OptionScope::MachineWide, "PIP", "false");
}

TEST_F(MimeFilterTest, ListedSitesAndUnknownVerdictsAskNobody) {
    struct Case {
        std::int32_t verdict;
        const char* list;
        int dialogs;
    } const cases[] = {
        {4, "example.com", 0},
        {4, "ample.com", 1},
        {3, "", 0},
        {1, "", 0},
        {99, "", 0},
    };
    for (const Case& c : cases) {
        script_ = Answers({c.verdict, c.verdict});
        script_.list = c.list;
        script_.goOn = true;
        FakeProtocol protocol(log_, Program(30000));
        FakeProtocolSink sink(log_, L"http://dl.example.com/setup.exe");
        win::ComPtr<IInternetProtocol> filter = StartFilter(protocol, sink);
        HRESULT last = S_OK;
        EXPECT_EQ(30000u, ReadAll(filter.Get(), last).size()) << c.verdict;
        EXPECT_EQ(c.dialogs, script_.dialogs) << c.verdict << " " << c.list;
    }
}

TEST_F(MimeFilterTest, ANestedReadWaitsForTheVerdict) {
    script_ = Answers({1, 1});
    const std::vector<std::uint8_t> bytes = Program(30000);
    FakeProtocol protocol(log_, bytes);
    FakeProtocolSink sink(log_, L"http://www.example.com/setup.exe");
    win::ComPtr<IInternetProtocol> filter = StartFilter(protocol, sink);
    script_.nestedReader = filter.Get();
    HRESULT last = S_OK;
    EXPECT_EQ(bytes, ReadAll(filter.Get(), last));
    EXPECT_EQ(E_PENDING, script_.nestedResult);
    EXPECT_EQ(2u, script_.digests.size());
}

TEST_F(MimeFilterTest, TheLastClickWithinTwoSecondsIsTheReferringSite) {
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    struct Case {
        std::int64_t time;
        const char* site;
    } const cases[] = {
        {now, "example.org"}, {now - 5, ""}, {now + 60, ""},
    };
    for (const Case& c : cases) {
        WriteClick(c.time, "example.org");
        script_ = Answers({1});
        FakeProtocol protocol(log_, Program(100));
        FakeProtocolSink sink(log_, L"http://www.example.com/setup.exe");
        win::ComPtr<IInternetProtocol> filter = StartFilter(protocol, sink);
        HRESULT last = S_OK;
        ReadAll(filter.Get(), last);
        ASSERT_EQ(1u, script_.sites.size());
        EXPECT_EQ(c.site, script_.sites[0]) << c.time - now;
    }
}

TEST_F(MimeFilterTest, AFailingReadBeneathIsHandedOn) {
    script_ = Answers({1});
    FakeProtocol protocol(log_, Program(30000));
    protocol.FailAfter(10000, INET_E_DOWNLOAD_FAILURE);
    FakeProtocolSink sink(log_, L"http://www.example.com/setup.exe");
    win::ComPtr<IInternetProtocol> filter = StartFilter(protocol, sink);
    HRESULT last = S_OK;
    EXPECT_EQ(10000u, ReadAll(filter.Get(), last).size());
    EXPECT_EQ(INET_E_DOWNLOAD_FAILURE, last);
    EXPECT_TRUE(script_.digests.empty()) << "no checksum of a part is asked about";
}

}  // namespace
