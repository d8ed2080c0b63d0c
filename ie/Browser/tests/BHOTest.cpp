// The browser helper in a browser stand-in: its events, windows and lists,
// its teardown, and its failures.
#include "ie/Browser/tests/BrowserTesting.h"

#include "ie/Module/ModuleLock.h"
#include "ie/Module/RegistryJournal.h"
#include "ie/Module/RunningBrowserMap.h"
#include "service/CRatingsHttpServer.h"
#include "service/CRatingsStore.h"
#include "service/tests/ServiceProcess.h"
#include "tests/support/DiagnosticCapture.h"
#include "tests/support/FakeBrowser.h"
#include "tests/support/FakeDispatch.h"
#include "tests/support/FakeHtml.h"
#include "tests/support/FakeRatingService.h"
#include "tests/support/TestPaths.h"
#include "utils/Options/Options.h"
#include "utils/iRPC/CServerWhitelistList.h"
#include "utils/iRPC/CServerWhitelistQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/iRPC/RatingsHttpAddress.h"
#include "utils/iRPC/tests/RPCTestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <cstring>
#include <fstream>
#include <ctime>
#include <random>
#include <thread>

using browser_testing::AsHelper;
using browser_testing::PumpFor;
using browser_testing::PumpUntil;
using browser_testing::RecordingTarget;
using testing_support::FakeBrowser;

namespace {

constexpr char kClientTitle[] = "Client:{A534759F-A612-4cf7-BA15-D022203D2DD1}";

// The do-not-warn requests a stand-in service received, as "operation text",
// sorted: each goes on a sender thread of its own, in no fixed order.
std::vector<std::string> ListRequests(const rpc_testing::RPCTestWindow& service, std::size_t from = 0) {
    std::vector<std::string> requests;
    for (const rpc_testing::Delivery& delivery : service.Deliveries()) {
        if (delivery.type != RPC_SERVER_WHITELIST_QUERY)
            continue;
        std::unique_ptr<CRPCMsg> message = service_testing::Decode(delivery);
        const auto& query = static_cast<const CServerWhitelistQuery&>(*message);
        requests.push_back(std::to_string(query.GetOperation()) + " " + query.Text());
    }
    requests.erase(requests.begin(), requests.begin() + static_cast<std::ptrdiff_t>(std::min(from, requests.size())));
    std::sort(requests.begin(), requests.end());
    return requests;
}

class BHOTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // The first-run band placement has its own test.
        SetOptionBool(OptionScope::PerUser, "Initialized", true);
    }
    void TearDown() override {
        if (helper_)
            helper_->SetSite(nullptr);
        helper_.Reset();
        browser_.Reset();
        ::CoUninitialize();
    }

    // A browser and an attached helper whose messages `target` records.
    CBHO* Attach() {
        browser_ = FakeBrowser::Create();
        helper_ = browser_testing::CreateHelper();
        if (!helper_)
            return nullptr;
        CBHO* helper = AsHelper(helper_);
        helper->SetEvaluationTarget(&target_);
        helper->SetQuitPause(0);
        EXPECT_EQ(helper_->SetSite(static_cast<IWebBrowser2*>(browser_.Get())), S_OK);
        helper->SetEnabled(1);
        return helper;
    }
    IDispatch* Page() const { return static_cast<IWebBrowser2*>(browser_.Get()); }

    // Requests from the helper end here; the service window exists, so the
    // monitor launches nothing.
    rpc_testing::RPCTestWindow service_{kRPCServiceWindowTitle, rpc_testing::RPCTestWindow::Behaviour::Accept};
    RecordingTarget target_;
    win::ComPtr<FakeBrowser> browser_;
    win::ComPtr<IObjectWithSite> helper_;
};

// A plain page from start to quit, then the browser lets go: nothing of the
// helper is left in the browser's windows, the map, the process's count or
// the module's lock.
TEST_F(BHOTest, PageLifeThenQuitLeavesNothingBehind) {
    const ULONG browserReferences = 1;
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    EXPECT_EQ(browser_->SinkCount(), 1u);
    const HWND client = helper->ClientWindow();
    const HWND balloon = helper->BalloonWindow();
    char title[64] = {};
    ASSERT_TRUE(client);
    ::GetWindowTextA(client, title, sizeof title);
    EXPECT_STREQ(title, kClientTitle);
    ASSERT_TRUE(balloon);
    ::GetWindowTextA(balloon, title, sizeof title);
    EXPECT_STREQ(title, "Quillon alert");
    EXPECT_EQ(::GetWindow(balloon, GW_OWNER), browser_->FrameWindow());
    EXPECT_FALSE(::IsWindowVisible(balloon));
    EXPECT_EQ(RunningBrowserMap().GetBrowser(::GetCurrentThreadId()), helper);
    EXPECT_EQ(CBHO::RunningCount(), 1);
    EXPECT_TRUE(service_.WaitForDeliveries(1, 5000));
    EXPECT_EQ(ListRequests(service_), std::vector<std::string>{"2 "});
    EXPECT_EQ(service_.Deliveries()[0].wParam, ToRPCWindow(client)) << "answered to the client window";

    ASSERT_TRUE(browser_->BrowsePage(L"http://www.example.com/start"));
    EXPECT_EQ(target_.Types(), (std::vector<int>{EVAL_BEFORE_NAVIGATE, EVAL_DOWNLOAD_BEGIN, EVAL_NAVIGATE_COMPLETE,
                                                 EVAL_DOCUMENT_COMPLETE, EVAL_DOWNLOAD_COMPLETE}));
    for (const browser_testing::Recorded& message : target_.messages) {
        if (message.type <= EVAL_DOCUMENT_COMPLETE) {
            EXPECT_EQ(message.text, "http://www.example.com/start");
            EXPECT_TRUE(message.isPage);
            EXPECT_TRUE(message.hasDisp);
        }
    }
    EXPECT_TRUE(helper->DocumentWindowHooked());
    EXPECT_EQ(helper->GetLocation(), "http://www.example.com/start");

    target_.messages.clear();
    browser_->FireQuit();
    EXPECT_EQ(target_.Types(), std::vector<int>{EVAL_QUIT});
    EXPECT_EQ(browser_->SinkCount(), 0u);
    EXPECT_FALSE(::IsWindow(client));
    EXPECT_FALSE(::IsWindow(balloon));
    EXPECT_FALSE(helper->DocumentWindowHooked());
    EXPECT_EQ(RunningBrowserMap().GetBrowser(::GetCurrentThreadId()), nullptr);
    EXPECT_EQ(CBHO::RunningCount(), 0);
    EXPECT_FALSE(helper->ServerMonitor().TimerArmed());
    // The page's window no longer reaches the helper.
    target_.messages.clear();
    ::SendMessageA(browser_->DocumentWindow(), WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(target_.messages.empty());

    testing_support::DiagnosticCapture capture;
    EXPECT_EQ(helper_->SetSite(nullptr), E_INVALIDARG);
    EXPECT_TRUE(capture.Reported("CBHO::SetSite", "SetSite didn't get a IWebBrowser2"));
    EXPECT_EQ(helper_.Get()->Release(), 0u);
    helper_.Detach();
    EXPECT_EQ(browser_->References(), browserReferences);
    EXPECT_EQ(ModuleLockCount(), 0);
}

// The browser may detach without OnQuit (a tab closed): the same teardown.
TEST_F(BHOTest, DetachWithoutQuitTearsDownTheSame) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    browser_->BrowsePage(L"http://www.example.com/");
    ASSERT_TRUE(helper->DocumentWindowHooked());
    const HWND client = helper->ClientWindow();
    const HWND balloon = helper->BalloonWindow();

    EXPECT_EQ(helper_->SetSite(nullptr), E_INVALIDARG);
    EXPECT_EQ(browser_->SinkCount(), 0u);
    EXPECT_FALSE(::IsWindow(client));
    EXPECT_FALSE(::IsWindow(balloon));
    EXPECT_FALSE(helper->DocumentWindowHooked());
    EXPECT_EQ(CBHO::RunningCount(), 0);
    EXPECT_EQ(RunningBrowserMap().Count(), 0u);
    // Running it again, or quitting late, changes nothing.
    helper->OnQuit();
    EXPECT_EQ(CBHO::RunningCount(), 0);

    helper_.Reset();
    EXPECT_EQ(browser_->References(), 1u);
    // The document window lives on without the helper's subclass.
    ::SendMessageA(browser_->DocumentWindow(), WM_LBUTTONUP, 0, 0);
    ::SendMessageA(browser_->DocumentWindow(), WM_CHAR, 'a', 0);
    EXPECT_EQ(ModuleLockCount(), 0);
}

TEST_F(BHOTest, FramesAreNotPagesAndTheSwitchSilencesEverything) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    win::ComPtr<FakeBrowser> frame = FakeBrowser::Create(false);
    IDispatch* frameDisp = static_cast<IWebBrowser2*>(frame.Get());
    browser_->SetReadyState(READYSTATE_INTERACTIVE);
    browser_->FireDownloadComplete();
    ASSERT_TRUE(helper->InteractivePassDone());

    EXPECT_FALSE(browser_->FireBeforeNavigate2(frameDisp, L"http://ads.example.net/frame"));
    browser_->FireNavigateComplete2(frameDisp, L"http://ads.example.net/frame");
    browser_->FireDocumentComplete(frameDisp, L"http://ads.example.net/frame");
    ASSERT_EQ(target_.messages.size(), 5u);
    for (std::size_t i = 2; i < 5; ++i) {
        EXPECT_FALSE(target_.messages[i].isPage);
        EXPECT_EQ(target_.messages[i].text, "http://ads.example.net/frame");
    }
    EXPECT_TRUE(helper->InteractivePassDone()) << "a frame does not start a new page";
    EXPECT_FALSE(helper->DocumentWindowHooked()) << "only a page hooks the document window";

    target_.messages.clear();
    helper->SetEnabled(0);
    browser_->BrowsePage(L"http://www.example.com/");
    EXPECT_TRUE(browser_->BrowsePage(L"http://exploit-kit.example/")) << "no redirect while switched off";
    EXPECT_TRUE(target_.messages.empty());
    browser_->FireQuit();
    EXPECT_EQ(browser_->SinkCount(), 0u) << "quit still cleans up";
    helper->SetEnabled(1);
}

TEST_F(BHOTest, InteractiveDownloadsAndThePassOfAPage) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    browser_->SetReadyState(READYSTATE_INTERACTIVE);
    browser_->FireDownloadComplete();
    browser_->FireDownloadComplete();
    EXPECT_EQ(target_.Types(), (std::vector<int>{EVAL_DOWNLOAD_COMPLETE, EVAL_DOWNLOAD_INTERACTIVE,
                                                 EVAL_DOWNLOAD_COMPLETE, EVAL_DOWNLOAD_INTERACTIVE}));
    EXPECT_TRUE(helper->InteractivePassDone());
    browser_->FireDownloadBegin();
    EXPECT_TRUE(helper->InteractivePassDone()) << "still interactive";
    browser_->SetReadyState(READYSTATE_LOADING);
    browser_->FireDownloadBegin();
    EXPECT_FALSE(helper->InteractivePassDone());
    browser_->SetReadyState(READYSTATE_INTERACTIVE);
    browser_->FireDownloadComplete();
    browser_->FireNavigateComplete2(Page(), L"http://www.example.com/next");
    EXPECT_FALSE(helper->InteractivePassDone()) << "a new page starts over";
    target_.messages.clear();
    browser_->FireCommandStateChange(2, true);
    EXPECT_TRUE(target_.messages.empty());
}

struct ExploitCase {
    const char* url;
    const char* doNotWarn;
    bool blocked;
};

// Navigations to a listed site or below it are cancelled before any
// evaluation and replaced by our page naming the listed domain; the
// do-not-warn list exempts only the sites it names.
TEST_F(BHOTest, ExploitNavigationsAreCancelledAndRedirected) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    const ExploitCase cases[] = {
        {"http://a.b.exploit-kit.example/x", "", true},
        {"HTTPS://Exploit-Kit.Example/", "", true},
        {"http://a.b.exploit-kit.example/x", "a.b.exploit-kit.example", false},
        {"http://a.b.exploit-kit.example/x", "exploit-kit.example", false},
        {"http://a.b.exploit-kit.example/x", "b", true},
        {"http://a.b.exploit-kit.example/x", "www.a.b.exploit-kit.example", true},
        {"http://exploit-kit.example.safe.net/", "", false},
        {"http://www.example.com/?go=exploit-kit.example", "", false},
        {"ftp://exploit-kit.example/", "", false},
    };
    for (const ExploitCase& c : cases) {
        helper->SetDoNotWarnList(c.doNotWarn);
        browser_->ClearCalls();
        target_.messages.clear();
        const std::wstring url(c.url, c.url + std::strlen(c.url));
        EXPECT_EQ(!browser_->BrowsePage(url), c.blocked) << c.url << " / " << c.doNotWarn;
        if (!c.blocked) {
            ASSERT_FALSE(target_.messages.empty());
            EXPECT_EQ(target_.messages[0].text, c.url);
            continue;
        }
        const std::vector<std::string> calls = browser_->Calls();
        ASSERT_EQ(calls.size(), 2u) << c.url;
        EXPECT_EQ(calls[0], "Stop");
        EXPECT_EQ(calls[1].rfind("Navigate file:///", 0), 0u) << calls[1];
        EXPECT_NE(calls[1].find("/pages/exploit.html?domain=exploit-kit.example 0 _self  "), std::string::npos)
            << calls[1];
        // Only our page's own navigation reaches the evaluation.
        ASSERT_EQ(target_.messages.size(), 1u);
        EXPECT_EQ(target_.messages[0].type, EVAL_BEFORE_NAVIGATE);
        EXPECT_NE(target_.messages[0].text.find("exploit.html?domain=exploit-kit.example"), std::string::npos);
    }
    // The page is there to be shown.
    EXPECT_NE(::GetFileAttributesA((testing_support::ExecutableDirectory() + "pages\\exploit.html").c_str()),
              INVALID_FILE_ATTRIBUTES);

    // A completed navigation to a listed site is redirected too, and not evaluated.
    helper->SetDoNotWarnList("");
    browser_->ClearCalls();
    target_.messages.clear();
    browser_->FireNavigateComplete2(Page(), L"http://drive-by-download.example/");
    EXPECT_EQ(browser_->Calls().size(), 2u);
    for (const browser_testing::Recorded& message : target_.messages)
        EXPECT_NE(message.type, EVAL_NAVIGATE_COMPLETE);
}

TEST_F(BHOTest, ExploitPageFromAnotherSiteAndAFailedRedirect) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    ASSERT_TRUE(SetOption(OptionScope::PerUser, "SiteBase", "https://quillon.example/"));
    EXPECT_TRUE(helper->IsExploit("http://x.fake-codec.example.org/"));
    ASSERT_EQ(browser_->Calls().size(), 2u);
    EXPECT_EQ(browser_->Calls()[1], "Navigate https://quillon.example/exploit.html?domain=fake-codec.example.org 0 _self  ");
    DeleteValue(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", "SiteBase");

    testing_support::DiagnosticCapture capture;
    browser_->RefuseNavigate(true);
    EXPECT_TRUE(helper->IsExploit("http://exploit-kit.example/"));
    EXPECT_TRUE(capture.Reported("CBHO::IsExploit", "Failed to browse to exploits page"));
}

// Whatever arrives on the client window, only a do-not-warn list is taken.
TEST_F(BHOTest, ClientWindowTakesTheListAndSurvivesGarbage) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    const HWND client = helper->ClientWindow();
    testing_support::DiagnosticCapture capture;
    auto deliver = [client](std::uintptr_t type, const std::string& bytes) {
        COPYDATASTRUCT data = {type, static_cast<DWORD>(bytes.size()), bytes.empty() ? nullptr : const_cast<char*>(bytes.data())};
        return ::SendMessageA(client, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    };
    auto payload = [](CRPCMsg& message) {
        UIOBuffer buffer;
        message.MarshalPayload(0, buffer);
        return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
    };

    CServerWhitelistList list("a.com;;b.com;");
    EXPECT_EQ(deliver(RPC_CLIENT_WHITELIST_LIST, payload(list)), TRUE);
    EXPECT_EQ(helper->DoNotWarnList().Entries(), (std::vector<std::string>{"a.com", "b.com"}));

    CServerWhitelistQuery query(CServerWhitelistQuery::WHITELIST_QUERY_ADD, "c.com");
    EXPECT_EQ(deliver(RPC_SERVER_WHITELIST_QUERY, payload(query)), TRUE);
    EXPECT_TRUE(capture.Reported("CBHO::OnCopyData", "Unexpected server response: 7"));

    EXPECT_EQ(::SendMessageA(client, WM_COPYDATA, 0, 0), FALSE);
    EXPECT_TRUE(capture.Reported("CBHO::OnCopyData", "NULL LPARAM"));
    EXPECT_EQ(deliver(RPC_CLIENT_WHITELIST_LIST, ""), FALSE);
    EXPECT_EQ(deliver(99, payload(list)), FALSE);

    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 64, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        // Lengths that claim more than is there, now and then.
        if (bytes.size() >= 12 && round % 3 == 0)
            bytes[8] = '\x7f';
        deliver(random() % 12, bytes);
    }
    EXPECT_EQ(deliver(RPC_CLIENT_WHITELIST_LIST, payload(list)), TRUE);
    EXPECT_TRUE(helper->IsOnDoNotWarnList("http://www.b.com/"));
    EXPECT_TRUE(::IsWindow(client));
}

// The window's copy of the list is only a copy: edits go to the service as
// additions and removals, never as a replacement of the user's whole list.
TEST_F(BHOTest, DoNotWarnEditsSendDifferences) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    ASSERT_TRUE(service_.WaitForDeliveries(1, 5000));
    ASSERT_FALSE(helper->DoNotWarnList().Received()) << "the stand-in service never answers";

    std::string shown;
    helper->EditDoNotWarnList([&shown](std::string& text) {
        shown = text;
        text = "a.com;b.com";
        return true;
    });
    EXPECT_EQ(shown, "");
    ASSERT_TRUE(service_.WaitForDeliveries(4, 5000));
    EXPECT_EQ(ListRequests(service_), (std::vector<std::string>{"0 a.com", "0 b.com", "2 ", "2 "}));
    EXPECT_TRUE(helper->IsOnDoNotWarnList("https://a.com/"));

    helper->SetDoNotWarnList("x.com;a.com;b.com");
    helper->EditDoNotWarnList([](std::string& text) {
        text = "a.com;b.com;c.com";
        return true;
    });
    helper->EditDoNotWarnList([](std::string& text) {
        text = "nothing";
        return false;  // cancelled
    });
    EXPECT_TRUE(helper->AddToDoNotWarnList("d.com"));
    EXPECT_FALSE(helper->AddToDoNotWarnList(""));
    ASSERT_TRUE(service_.WaitForDeliveries(7, 5000));
    EXPECT_EQ(ListRequests(service_, 4), (std::vector<std::string>{"0 c.com", "0 d.com", "1 x.com"}));
    EXPECT_EQ(helper->DoNotWarnList().Join(), "a.com;b.com;c.com;d.com");
    EXPECT_TRUE(helper->IsOnDoNotWarnList("http://www.d.com/page"));
}

// A click in the page is recorded for the download filters of every
// browser; the shared record's mutex is free again before the evaluation
// hears of the click.
TEST_F(BHOTest, ClicksAreRecordedAndTheMutexIsFreeForTheEvaluation) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    browser_->BrowsePage(L"http://www.shop.example.com/basket");
    ASSERT_TRUE(helper->DocumentWindowHooked());
    CSharedMemory record(CBHO::kClickRecordName);
    ASSERT_TRUE(record.Init(CBHO::kClickRecordSize));

    int freeDuringClick = -1;
    target_.onMessage = [&](const CEvalMessage& message) {
        if (message.type != EVAL_CLICK)
            return;
        std::thread other([&] {
            const HANDLE mutex = ::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, "QuillonBrowserClicksMutex");
            const DWORD waited = ::WaitForSingleObject(mutex, 0);
            freeDuringClick = waited == WAIT_OBJECT_0 ? 1 : 0;
            if (waited == WAIT_OBJECT_0)
                ::ReleaseMutex(mutex);
            ::CloseHandle(mutex);
        });
        other.join();
    };
    target_.messages.clear();
    const std::int64_t before = static_cast<std::int64_t>(std::time(nullptr));
    ::SendMessageA(browser_->DocumentWindow(), WM_RBUTTONUP, 0, 0);
    ::SendMessageA(browser_->DocumentWindow(), WM_CHAR, 'x', 0);
    EXPECT_EQ(target_.Types(), (std::vector<int>{EVAL_CLICK, EVAL_KEY_TYPED}));
    EXPECT_EQ(freeDuringClick, 1);
    std::int64_t when = 0;
    std::memcpy(&when, record.View(), sizeof when);
    EXPECT_GE(when, before);
    EXPECT_LE(when, before + 5);
    EXPECT_STREQ(reinterpret_cast<const char*>(record.View() + 8), "example.com");

    // A numeric host is kept whole, cut to 198 bytes and still terminated.
    std::wstring longHost;
    for (int i = 0; i < 110; ++i)
        longHost += L"1.";
    longHost += L"1";
    browser_->SetLocation(L"http://" + longHost + L"/");
    helper->RecordBrowserClick();
    const char* domain = reinterpret_cast<const char*>(record.View() + 8);
    EXPECT_EQ(std::strlen(domain), 198u);
    EXPECT_EQ(record.View()[206], 0);
    EXPECT_EQ(record.View()[207], 0);

    // A new document window is hooked at the next page; the old one let go.
    browser_->ReplaceDocumentWindow();
    EXPECT_FALSE(helper->DocumentWindowHooked());
    browser_->BrowsePage(L"http://www.example.com/");
    EXPECT_TRUE(helper->DocumentWindowHooked());
    EXPECT_EQ(helper->DocumentWindowHooked() ? ::GetParent(browser_->DocumentWindow()) : nullptr, browser_->ViewWindow());
}

// A SetSite that fails half-way undoes what it did and leaves the process's
// registrations to the helpers that made them.
TEST_F(BHOTest, FailedAttachUndoesItselfAndTouchesNoSharedState) {
    testing_support::DiagnosticCapture capture;
    win::ComPtr<FakeBrowser> other = FakeBrowser::Create();
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    ASSERT_EQ(CBHO::RunningCount(), 1);

    struct Case {
        const char* message;
        std::function<void(FakeBrowser&)> breakIt;
        HRESULT result;
    };
    const Case cases[] = {
        {"Couldn't get browser's window", [](FakeBrowser& b) { b.RefuseWindow(true); }, E_FAIL},
        {"Couldn't connect to browser events", [](FakeBrowser& b) { b.Point().RefuseAdvise(true); }, E_FAIL},
    };
    for (const Case& c : cases) {
        win::ComPtr<FakeBrowser> broken = FakeBrowser::Create();
        c.breakIt(*broken.Get());
        win::ComPtr<IObjectWithSite> failing = browser_testing::CreateHelper();
        AsHelper(failing)->SetQuitPause(0);
        EXPECT_EQ(failing->SetSite(static_cast<IWebBrowser2*>(broken.Get())), c.result) << c.message;
        EXPECT_TRUE(capture.Reported("CBHO::SetSite", c.message)) << c.message;
        EXPECT_EQ(broken->SinkCount(), 0u) << c.message;
        EXPECT_FALSE(AsHelper(failing)->ClientWindow()) << c.message;
        EXPECT_FALSE(AsHelper(failing)->Attached());
        // Its quit must not unregister the working helper of this thread.
        AsHelper(failing)->OnQuit();
        failing.Reset();
        EXPECT_EQ(broken->References(), 1u) << c.message;
        EXPECT_EQ(CBHO::RunningCount(), 1) << c.message;
        EXPECT_EQ(RunningBrowserMap().GetBrowser(::GetCurrentThreadId()), helper) << c.message;
    }

    win::ComPtr<testing_support::FakeDispatch> notABrowser = testing_support::FakeDispatch::Create();
    win::ComPtr<IObjectWithSite> failing = browser_testing::CreateHelper();
    EXPECT_EQ(failing->SetSite(notABrowser.Get()), E_INVALIDARG);
    EXPECT_TRUE(capture.Reported("CBHO::SetSite", "SetSite didn't get a IWebBrowser2"));
    failing.Reset();
    EXPECT_EQ(notABrowser->References(), 1u);
}

// A browser process that died holding the enable flag's mutex leaves it
// abandoned: the next reader takes it over, reads, and lets it go again.
TEST_F(BHOTest, AnAbandonedEnableMutexIsTakenOverAndReleased) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    std::thread dying([] {
        const HANDLE mutex = ::OpenMutexA(SYNCHRONIZE, FALSE, "QuillonEnableMutex");
        ::WaitForSingleObject(mutex, INFINITE);
        ::CloseHandle(mutex);
        // Ends without releasing it.
    });
    dying.join();
    EXPECT_TRUE(helper->IsEnabled());
    helper->SetEnabled(0);
    EXPECT_FALSE(helper->IsEnabled());
    helper->SetEnabled(1);
    int free = -1;
    std::thread other([&free] {
        const HANDLE mutex = ::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, "QuillonEnableMutex");
        free = ::WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0;
        ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
    });
    other.join();
    EXPECT_EQ(free, 1) << "released after the take-over";
}

TEST_F(BHOTest, ServicesByNumber) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    testing_support::DiagnosticCapture capture;
    EXPECT_EQ(helper->GetService(CBHO::SERVICE_EVALUATOR), &helper->Evaluator());
    EXPECT_EQ(helper->GetService(CBHO::SERVICE_SERVER_MONITOR), &helper->ServerMonitor());
    EXPECT_EQ(helper->GetService(CBHO::SERVICE_RUNNING_BROWSERS), nullptr) << "no band on this thread";
    EXPECT_EQ(helper->GetService(CBHO::SERVICE_MENU_BAR), nullptr);
    EXPECT_TRUE(helper->GetService(CBHO::SERVICE_BALLOON));
    EXPECT_EQ(helper->GetService(CBHO::SERVICE_BALLOON), helper->GetBalloon());
    EXPECT_TRUE(helper->GetSafetyAlert());
    auto* band = reinterpret_cast<CToolbar*>(static_cast<std::uintptr_t>(0x1000));
    ASSERT_TRUE(RunningBrowserMap().AddToolbar(::GetCurrentThreadId(), band));
    EXPECT_EQ(helper->GetService(CBHO::SERVICE_RUNNING_BROWSERS), band);
    RunningBrowserMap().RemoveToolbar(::GetCurrentThreadId());
    EXPECT_EQ(helper->GetService(7), nullptr);
    EXPECT_TRUE(capture.Reported("CBHO::GetService", "Unknown service request: 7"));
    EXPECT_EQ(helper->GetAlertOwner() == browser_->FrameWindow() || helper->GetAlertOwner() == ::GetActiveWindow(),
              true);
    EXPECT_TRUE(helper->ServerMonitor().TimerArmed()) << "armed although the service was running";
}

// Each browser window runs on its own thread with its own helper; the map
// tells them apart by thread.
TEST_F(BHOTest, TwoBrowserWindowsOnTwoThreads) {
    HANDLE attached[2] = {::CreateEventA(nullptr, TRUE, FALSE, nullptr), ::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE quit = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD threadIds[2] = {};
    CBHO* helpers[2] = {};
    int failures = 0;
    std::vector<std::thread> windows;
    for (int i = 0; i < 2; ++i) {
        windows.emplace_back([&, i] {
            ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            {
                win::ComPtr<FakeBrowser> browser = FakeBrowser::Create();
                win::ComPtr<IObjectWithSite> helper = browser_testing::CreateHelper();
                RecordingTarget target;
                AsHelper(helper)->SetEvaluationTarget(&target);
                AsHelper(helper)->SetQuitPause(0);
                if (helper->SetSite(static_cast<IWebBrowser2*>(browser.Get())) != S_OK)
                    ++failures;
                threadIds[i] = ::GetCurrentThreadId();
                helpers[i] = AsHelper(helper);
                browser->BrowsePage(i == 0 ? L"http://one.example/" : L"http://two.example/");
                if (target.messages.size() != 5 || target.messages[0].text != (i == 0 ? "http://one.example/" : "http://two.example/"))
                    ++failures;
                ::SetEvent(attached[i]);
                // This window's thread keeps pumping until the test is done looking.
                PumpUntil([&] { return ::WaitForSingleObject(quit, 0) == WAIT_OBJECT_0; }, 10000);
                browser->FireQuit();
                helper->SetSite(nullptr);
                helper.Reset();
                if (browser->References() != 1)
                    ++failures;
            }
            ::CoUninitialize();
        });
    }
    EXPECT_EQ(::WaitForMultipleObjects(2, attached, TRUE, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(CBHO::RunningCount(), 2);
    EXPECT_EQ(RunningBrowserMap().Count(), 2u);
    EXPECT_NE(threadIds[0], threadIds[1]);
    EXPECT_EQ(RunningBrowserMap().GetBrowser(threadIds[0]), helpers[0]);
    EXPECT_EQ(RunningBrowserMap().GetBrowser(threadIds[1]), helpers[1]);
    EXPECT_NE(helpers[0], helpers[1]);
    EXPECT_EQ(RunningBrowserMap().GetBrowser(::GetCurrentThreadId()), nullptr);
    ::SetEvent(quit);
    for (std::thread& window : windows)
        window.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(CBHO::RunningCount(), 0);
    EXPECT_EQ(RunningBrowserMap().Count(), 0u);
    for (HANDLE handle : {attached[0], attached[1], quit})
        ::CloseHandle(handle);
}

// The first window after installation makes the band show; only this
// add-on's own per-user settings are reset.
TEST_F(BHOTest, FirstRunPlacesTheBandAndKeepsOtherAddOnsSettings) {
    const std::string settings = "Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\";
    const std::string others = settings + "{11111111-2222-3333-4444-555555555555}";
    const std::string ours = settings + ClassIdString(CLSID_QuillonToolbar);
    {
        CRegistryJournal journal;
        ASSERT_TRUE(journal.SetString(HKEY_CURRENT_USER, others, "Flags", "1"));
        ASSERT_TRUE(journal.SetString(HKEY_CURRENT_USER, ours, "Flags", "1"));
    }
    SetOptionBool(OptionScope::PerUser, "Initialized", false);
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    const std::string band = ClassIdString(CLSID_QuillonToolbar);
    EXPECT_EQ(browser_->Calls(), (std::vector<std::string>{"ShowBrowserBar " + band + " false",
                                                           "ShowBrowserBar " + band + " true"}));
    EXPECT_EQ(GetOption(OptionScope::PerUser, "Initialized"), "true");
    HKEY key = nullptr;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, others.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    if (key)
        ::RegCloseKey(key);
    EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, ours.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DeleteKeyTree(HKEY_CURRENT_USER, others);

    helper_->SetSite(nullptr);
    browser_->ClearCalls();
    EXPECT_EQ(helper_->SetSite(static_cast<IWebBrowser2*>(browser_.Get())), S_OK);
    EXPECT_TRUE(browser_->Calls().empty()) << "once only";
}

// A whole page through the helper and its real evaluator, answered by the
// real rating service.
TEST(BHOServiceTest, PageLifeWithTheRealService) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        service_testing::ServiceProcess service;
        ASSERT_TRUE(service.Window());
        win::ComPtr<FakeBrowser> browser = FakeBrowser::Create();
        win::ComPtr<IObjectWithSite> site = browser_testing::CreateHelper();
        CBHO* helper = AsHelper(site);
        helper->SetQuitPause(0);
        ASSERT_EQ(site->SetSite(static_cast<IWebBrowser2*>(browser.Get())), S_OK);
        helper->SetEnabled(1);
        EXPECT_TRUE(PumpUntil([&] { return helper->DoNotWarnList().Received(); }, 5000))
            << "the service answers the list request on the client window";

        ASSERT_TRUE(browser->BrowsePage(L"http://www.example.com/"));
        EXPECT_TRUE(PumpUntil([&] { return helper->Evaluator().GetCurrentDomain() == "example.com"; }, 8000));
        EXPECT_EQ(helper->Evaluator().GetCurrentClassification(), 0) << "CERTIFIED in the service's ratings";

        browser->FireQuit();
        EXPECT_EQ(site->SetSite(nullptr), E_INVALIDARG);
        site.Reset();
        EXPECT_EQ(browser->References(), 1u);
    }
    ::CoUninitialize();
}

// Actions the user interface asks for open pages in a new browser process.
TEST_F(BHOTest, ActionsOpenPagesInNewBrowserWindows) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    testing_support::ScratchDirectory folder("QuillonActions");
    const std::string record = folder.Path() + "started.txt";
    ::SetEnvironmentVariableA("QUILLON_RECORD_FILE", record.c_str());
    helper->SetBrowserProgram(testing_support::ExecutableDirectory() + "ArgumentRecorder.exe");

    browser_->SetLocation(L"http://www.Example.com/a?b=1");
    EXPECT_EQ(helper->GetLocation(), "http://www.Example.com/a?b=1");
    EXPECT_TRUE(helper->SendFeedback());
    browser_->SetLocation(L"file:///C:/docs/page.html");
    EXPECT_TRUE(helper->SendFeedback());
    EXPECT_TRUE(helper->OpenInNewWindow("http://www.example.org/"));
    std::vector<std::string> lines;
    PumpUntil([&] {
        std::ifstream in(record);
        lines.clear();
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(line.find(" -new ") == std::string::npos ? 0 : line.find(" -new ") + 1));
        return lines.size() >= 3;
    }, 10000);
    std::sort(lines.begin(), lines.end());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("-new file:///", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("/pages/feedback.html"), std::string::npos) << lines[0];
    const std::string withSite = lines[0].find("?site=") != std::string::npos ? lines[0] : lines[1];
    const std::string withoutSite = lines[0].find("?site=") != std::string::npos ? lines[1] : lines[0];
    EXPECT_EQ(withSite.substr(withSite.size() - std::strlen("/pages/feedback.html?site=www.Example.com")),
              "/pages/feedback.html?site=www.Example.com");
    EXPECT_EQ(withoutSite.substr(withoutSite.size() - std::strlen("/pages/feedback.html")), "/pages/feedback.html");
    EXPECT_EQ(lines[2], "-new http://www.example.org/");
    ::SetEnvironmentVariableA("QUILLON_RECORD_FILE", nullptr);

    testing_support::DiagnosticCapture capture;
    helper->SetBrowserProgram(folder.Path() + "missing.exe");
    EXPECT_FALSE(helper->OpenInNewWindow("http://www.example.org/"));
    EXPECT_TRUE(capture.Reported("LaunchProgram", "Failed to launch"));
    EXPECT_FALSE(helper->RefreshIfSearchPage());
    EXPECT_TRUE(browser_->Calls().empty());
}

}  // namespace

namespace {

// The alert's dialog, found among this thread's windows while its modal
// loop runs; the test's steps run from a thread timer inside that loop.
std::function<void(HWND)> g_whileAlertOpen;

BOOL CALLBACK FindAlert(HWND window, LPARAM found) {
    char text[32] = {};
    ::GetWindowTextA(window, text, sizeof text);
    if (std::string(text) == "Quillon" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK WhileAlertOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!g_whileAlertOpen) {
        ::KillTimer(nullptr, timer);
        return;
    }
    HWND alert = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindAlert, reinterpret_cast<LPARAM>(&alert));
    if (!alert)
        return;
    ::KillTimer(nullptr, timer);
    std::function<void(HWND)> steps = std::move(g_whileAlertOpen);
    g_whileAlertOpen = nullptr;
    steps(alert);
}

// The balloon's links act through the helper: the site's page opens in a
// new browser window, and "Never warn" reaches this window's list at once
// and the service for good.
TEST_F(BHOTest, BalloonLinksActThroughTheHelper) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    testing_support::ScratchDirectory folder("QuillonBalloonLinks");
    const std::string record = folder.Path() + "started.txt";
    ::SetEnvironmentVariableA("QUILLON_RECORD_FILE", record.c_str());
    helper->SetBrowserProgram(testing_support::ExecutableDirectory() + "ArgumentRecorder.exe");
    auto* balloon = static_cast<CInfoBalloon*>(helper->GetBalloon());
    ASSERT_TRUE(balloon);
    EXPECT_EQ(::GetWindow(balloon->Window(), GW_OWNER), browser_->FrameWindow());
    balloon->Set(2, 4, "Risky downloads", "bad.example");

    balloon->DoAction(CInfoBalloon::kViewDetails);
    std::string line;
    EXPECT_TRUE(PumpUntil([&] {
        std::ifstream in(record);
        return static_cast<bool>(std::getline(in, line));
    }, 10000));
    EXPECT_NE(line.find(" -new "), std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() - std::strlen("/sites/bad.example")), "/sites/bad.example") << line;
    ::SetEnvironmentVariableA("QUILLON_RECORD_FILE", nullptr);

    ASSERT_TRUE(service_.WaitForDeliveries(1, 5000));  // the list request of SetSite
    EXPECT_FALSE(helper->IsOnDoNotWarnList("bad.example"));
    balloon->DoAction(CInfoBalloon::kNeverWarn);
    EXPECT_TRUE(helper->IsOnDoNotWarnList("bad.example"));
    EXPECT_TRUE(service_.WaitForDeliveries(2, 5000));
    EXPECT_EQ(ListRequests(service_), (std::vector<std::string>{"0 bad.example", "2 "}));
    helper->SetBrowserProgram(folder.Path() + "missing.exe");
}

// The browser quits and lets go of the helper while the alert is open: the
// helper lives until the message that opened the alert is done, then goes.
TEST_F(BHOTest, HelperOutlivesTheAlertsModalLoop) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    ISafetyAlertDisplay* alert = helper->GetSafetyAlert();
    ASSERT_TRUE(alert);
    bool aliveInside = false;
    g_whileAlertOpen = [&](HWND dialog) {
        browser_->FireQuit();
        EXPECT_EQ(helper_->SetSite(nullptr), E_INVALIDARG);
        helper_.Reset();
        aliveInside = ModuleLockCount() > 0;
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    ::SetTimer(nullptr, 0, 20, &WhileAlertOpen);
    alert->ShowModal(1, "A reason", nullptr);
    EXPECT_TRUE(aliveInside);
    EXPECT_GT(ModuleLockCount(), 0) << "kept until the opening message is done";
    EXPECT_TRUE(PumpUntil([] { return ModuleLockCount() == 0; }, 2000)) << "then freed";
    EXPECT_EQ(browser_->References(), 1u);
}

}  // namespace

namespace {

// The page evaluation's decisions reach this window's balloon and alert:
// a WARN verdict brings the balloon up once per site and text, and a
// phishing finding on a site the service does not know opens the alert.
TEST_F(BHOTest, DecisionsReachTheBalloonAndTheAlert) {
    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    auto* balloon = static_cast<CInfoBalloon*>(helper->GetBalloon());
    ASSERT_TRUE(balloon);
    balloon->SetTimerIntervals(50, 10000, 1000);
    CDecisionMatrix& decisions = helper->Evaluator().GetDecisionMatrix();
    CEvalMessage verdict(EVAL_VERDICT);
    verdict.info.domain = "bad.example";
    verdict.info.classification = 4;
    verdict.info.color = 2;
    verdict.info.text = "Risky downloads";
    for (int page = 0; page < 2; ++page) {
        const CEvalMessage newPage(EVAL_NEW_PAGE);
        decisions.Message(&newPage);
        EXPECT_FALSE(::IsWindowVisible(balloon->Window()));
        decisions.Message(&verdict);
        EXPECT_EQ(PumpUntil([&] { return ::IsWindowVisible(balloon->Window()) != FALSE; }, page == 0 ? 3000 : 300),
                  page == 0)
            << "page " << page;
    }

    const CEvalMessage newPage(EVAL_NEW_PAGE);
    decisions.Message(&newPage);
    verdict.info.domain = "unknown.example";
    verdict.info.classification = 3;
    verdict.info.color = 3;
    decisions.Message(&verdict);
    CEvalMessage phishing(EVAL_PHISHING);
    phishing.category = 1;
    phishing.reason = "Looks like a bank";
    bool opened = false;
    g_whileAlertOpen = [&](HWND dialog) {
        opened = true;
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    ::SetTimer(nullptr, 0, 20, &WhileAlertOpen);
    decisions.Message(&phishing);
    EXPECT_TRUE(PumpUntil([&] { return opened; }, 5000));
    g_whileAlertOpen = nullptr;
}

// A results page completes: the helper has the safe-search scripts ask the
// service (here its HTTP side on a free port) and mark the result, once per
// page; a changed option reloads a results page and only that.
TEST_F(BHOTest, SearchResultsPagesAreAnnotatedOnceAndRefreshedForNewOptions) {
    CRatingsStore ratings;
    ASSERT_TRUE(ratings.Load("[site freebies.example]\nverdict = WARN\n", "test"));
    CRatingsHttpServer server(ratings);
    ASSERT_TRUE(server.Start("127.0.0.1", 0));
    const std::string savedServer = GetOption(OptionScope::PerUser, CSafeSearch::kServerOption);
    SetOption(OptionScope::PerUser, CSafeSearch::kServerOption,
              "http://127.0.0.1:" + std::to_string(server.Port()) + "/ratings");
    SetOption(OptionScope::PerUser, CSafeSearch::kIconsOption, "true");

    CBHO* helper = Attach();
    ASSERT_TRUE(helper);
    const wchar_t kResults[] = L"https://www.bing.com/search?q=screensaver";
    testing_support::FakeHtmlPage page(kResults);
    testing_support::FakeDispatch* result = page.AddLink(page.AddElement(nullptr, L"h2"), L"http://www.freebies.example/");
    page.AddLink(nullptr, L"https://www.bing.com/search?q=screensaver&first=11");
    browser_->SetScriptView(page.Browser());
    browser_->SetLocation(kResults);
    browser_->SetReadyState(READYSTATE_INTERACTIVE);
    browser_->FireDownloadComplete();
    browser_->FireDownloadComplete();  // the same page: not again
    EXPECT_TRUE(testing_support::PumpUntil([&] { return !page.CreatedInTree().empty(); }, 5000));
    testing_support::PumpUntil([] { return false; }, 200);
    ASSERT_EQ(page.CreatedInTree().size(), 1u);
    EXPECT_EQ(page.NextSibling(result), page.CreatedInTree()[0]);
    EXPECT_NE(page.CreatedInTree()[0]->GetString(L"src").find(L"badge_red.png"), std::wstring::npos);

    browser_->ClearCalls();
    EXPECT_TRUE(helper->RefreshIfSearchPage());
    EXPECT_EQ(browser_->Calls(), std::vector<std::string>{"Refresh"});
    browser_->ClearCalls();
    browser_->SetLocation(L"https://www.bing.com/");
    EXPECT_FALSE(helper->RefreshIfSearchPage());
    EXPECT_TRUE(browser_->Calls().empty());

    browser_->SetScriptView(nullptr);
    if (savedServer.empty())
        SetOption(OptionScope::PerUser, CSafeSearch::kServerOption, kRatingsHttpUrl);
    else
        SetOption(OptionScope::PerUser, CSafeSearch::kServerOption, savedServer);
}

}  // namespace
