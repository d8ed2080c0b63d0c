#include "utils/iRPC/CRPCDeliveryPool.h"
#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/CServerMD5Query.h"
#include "utils/iRPC/CServerNotify.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/iRPC/tests/RPCTestWindow.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/TestPaths.h"
#include "utils/File/LaunchProgram.h"
#include "utils/Ownership/WinOwnership.h"
#include "utils/Thread/UThread.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace {

using rpc_testing::Delivery;
using rpc_testing::RPCTestWindow;

constexpr char kClientTitle[] = "Client:{A534759F-A612-4cf7-BA15-D022203D2DD1}";

std::string Payload(CRPCMsg& message, std::int32_t requestId) {
    UIOBuffer buffer;
    message.MarshalPayload(requestId, buffer);
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

std::size_t ThreadsOfThisProcess() {
    std::size_t threads = 0;
    win::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot)
        return 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more;
         more = ::Thread32Next(snapshot.Get(), &entry)) {
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId())
            ++threads;
    }
    return threads;
}

// Delivery threads left idle by an earlier test end within about 2 s.
bool WaitForNoDeliveryThreads(DWORD milliseconds) {
    for (DWORD waited = 0; UThread::LiveCount() != 0 && waited < milliseconds; waited += 10)
        ::Sleep(10);
    return UThread::LiveCount() == 0;
}

std::vector<std::int32_t> RequestIds(const std::vector<Delivery>& deliveries) {
    std::vector<std::int32_t> ids;
    for (const Delivery& delivery : deliveries)
        ids.push_back(delivery.requestId);
    return ids;
}

// Notices with ids first, first + 1, ... sent to one target.
void SendNotices(RPCWindow target, std::int32_t first, std::int32_t count) {
    for (std::int32_t id = first; id < first + count; ++id) {
        CServerNotify notice("n");
        ASSERT_TRUE(notice.Send(target, 0, id));
    }
}

std::vector<std::int32_t> Sequence(std::int32_t first, std::int32_t count) {
    std::vector<std::int32_t> ids(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i)
        ids[static_cast<std::size_t>(i)] = first + i;
    return ids;
}

TEST(RPCTransport, RequestReachesTheServiceWindowOfAnotherThreadAndTheAnswerComesBack) {
    RPCTestWindow client(kClientTitle, RPCTestWindow::Behaviour::Accept);
    RPCTestWindow service(kRPCServiceWindowTitle, RPCTestWindow::Behaviour::AcceptAndAnswer);
    ASSERT_NE(nullptr, client.Window());
    ASSERT_NE(nullptr, service.Window());

    CServerURLQuery query("http://a.example/%41");
    const std::string expectedPayload = Payload(query, 77);
    EXPECT_TRUE(query.Send(kRPCServiceWindow, ToRPCWindow(client.Window()), 77));

    ASSERT_TRUE(service.WaitForDeliveries(1, 5000));
    const Delivery request = service.Deliveries()[0];
    EXPECT_EQ(static_cast<std::uintptr_t>(RPC_SERVER_URL_QUERY), request.type);
    EXPECT_EQ(ToRPCWindow(client.Window()), request.wParam);
    EXPECT_EQ(expectedPayload, request.payload);
    EXPECT_EQ(service.ThreadId(), request.receivingThread);
    EXPECT_NE(::GetCurrentThreadId(), request.receivingThread);
    EXPECT_EQ("CServerURLQuery http://a.example/%41", request.decoded);
    EXPECT_EQ(77, request.requestId);

    ASSERT_TRUE(client.WaitForDeliveries(1, 5000));
    const Delivery answer = client.Deliveries()[0];
    EXPECT_EQ(static_cast<std::uintptr_t>(RPC_SERVER_NOTIFY), answer.type);
    EXPECT_EQ(77, answer.requestId);
    EXPECT_EQ("CServerNotify [1] answer CServerURLQuery http://a.example/%41", answer.decoded);
    EXPECT_EQ(0u, answer.wParam);
}

TEST(RPCTransport, RequestReachesTheServiceInAnotherProcessAndItsAnswerComesBack) {
    RPCTestWindow client(kClientTitle, RPCTestWindow::Behaviour::Accept);
    ASSERT_NE(nullptr, client.Window());
    const std::string peer = testing_support::ExecutableDirectory() + "RPCServicePeer.exe";
    auto peerExit = std::async(std::launch::async,
                               [&] { return LaunchProgram(peer.c_str(), "", 0, true); });
    // A cold start of the other process may take longer than one send waits.
    for (int i = 0; i < 150 && !::FindWindowA(nullptr, kRPCServiceWindowTitle); ++i)
        ::Sleep(100);
    ASSERT_NE(nullptr, ::FindWindowA(nullptr, kRPCServiceWindowTitle));

    CServerMD5Query query("0123456789abcdef0123456789abcdef", "http://dl.example/100%.exe");
    EXPECT_TRUE(query.Send(kRPCServiceWindow, ToRPCWindow(client.Window()), 1234));

    ASSERT_TRUE(client.WaitForDeliveries(1, 10000));
    const Delivery answer = client.Deliveries()[0];
    EXPECT_EQ(1234, answer.requestId);
    EXPECT_EQ("CServerNotify [1] peer got CServerMD5Query [2] 0123456789abcdef0123456789abcdef",
              answer.decoded);
    EXPECT_NE(0u, answer.wParam);  // the peer's window
    EXPECT_EQ(0, peerExit.get());
}

TEST(RPCTransport, ThousandMessagesToOneWindowArriveInTheOrderSent) {
    RPCTestWindow byHandle("Quillon order test", RPCTestWindow::Behaviour::Accept);
    RPCTestWindow byTitle(kRPCServiceWindowTitle, RPCTestWindow::Behaviour::Accept);
    ASSERT_NE(nullptr, byHandle.Window());
    ASSERT_NE(nullptr, byTitle.Window());
    // Interleaved, so both queues are busy at once.
    for (std::int32_t id = 0; id < 1000; ++id) {
        CServerNotify notice("n");
        ASSERT_TRUE(notice.Send(ToRPCWindow(byHandle.Window()), 0, id));
        ASSERT_TRUE(notice.Send(kRPCServiceWindow, 0, id));
    }
    ASSERT_TRUE(byHandle.WaitForDeliveries(1000, 20000));
    ASSERT_TRUE(byTitle.WaitForDeliveries(1000, 20000));
    EXPECT_EQ(Sequence(0, 1000), RequestIds(byHandle.Deliveries()));
    EXPECT_EQ(Sequence(0, 1000), RequestIds(byTitle.Deliveries()));
}

TEST(RPCTransport, FloodToManyWindowsUsesAtMostEightThreadsThatEndWhenIdle) {
    ASSERT_TRUE(WaitForNoDeliveryThreads(4000));
    constexpr std::int32_t kWindows = 16;
    constexpr std::int32_t kEach = 625;  // 10000 in all
    std::vector<std::unique_ptr<RPCTestWindow>> windows;
    for (std::int32_t i = 0; i < kWindows; ++i) {
        windows.push_back(std::make_unique<RPCTestWindow>("Quillon flood " + std::to_string(i),
                                                          RPCTestWindow::Behaviour::Accept));
        ASSERT_NE(nullptr, windows.back()->Window());
    }
    const std::size_t baseline = ThreadsOfThisProcess();
    std::atomic<bool> flooding{true};
    std::atomic<std::size_t> mostThreads{0};
    std::atomic<long> mostLive{0};
    std::thread sampler([&] {
        while (flooding) {
            mostThreads = std::max(mostThreads.load(), ThreadsOfThisProcess());
            mostLive = std::max(mostLive.load(), UThread::LiveCount());
            ::Sleep(20);
        }
    });
    for (std::int32_t id = 0; id < kEach; ++id) {
        for (const auto& window : windows) {
            CServerNotify notice("flood");
            ASSERT_TRUE(notice.Send(ToRPCWindow(window->Window()), 0, id));
        }
    }
    bool allArrived = true;
    for (const auto& window : windows)
        allArrived = window->WaitForDeliveries(kEach, 30000) && allArrived;
    flooding = false;
    sampler.join();
    ASSERT_TRUE(allArrived);
    for (const auto& window : windows)
        EXPECT_EQ(Sequence(0, kEach), RequestIds(window->Deliveries()));

    // The sampler is one of the threads above the baseline.
    EXPECT_LE(mostThreads.load(), baseline + 1 + 8);
    EXPECT_LE(mostLive.load(), 8);
    EXPECT_GE(mostLive.load(), 2);  // the load was shared
    // Long-lived: still there a moment after the flood, gone after ~2 s idle.
    ::Sleep(500);
    EXPECT_GT(UThread::LiveCount(), 0);
    EXPECT_TRUE(WaitForNoDeliveryThreads(3000));
    EXPECT_EQ(baseline, ThreadsOfThisProcess());
}

TEST(RPCTransport, HungReceiverDelaysOnlyMessagesToItself) {
    RPCTestWindow hung("Quillon hung receiver", RPCTestWindow::Behaviour::Accept);
    RPCTestWindow lively("Quillon lively receiver", RPCTestWindow::Behaviour::Accept);
    win::UniqueHandle gate(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    hung.HoldDeliveriesUntil(gate.Get());  // its thread stops pumping in the first delivery

    CServerNotify first("first");
    ASSERT_TRUE(first.Send(ToRPCWindow(hung.Window()), 0, 1));
    ASSERT_TRUE(hung.WaitForDeliveries(1, 5000));
    const ULONGLONG start = ::GetTickCount64();
    SendNotices(ToRPCWindow(hung.Window()), 2, 5);
    SendNotices(ToRPCWindow(lively.Window()), 0, 50);
    EXPECT_TRUE(lively.WaitForDeliveries(50, 2000));
    EXPECT_LT(::GetTickCount64() - start, 2000u);
    EXPECT_EQ(Sequence(0, 50), RequestIds(lively.Deliveries()));
    EXPECT_EQ(1u, hung.Deliveries().size());

    ::SetEvent(gate.Get());  // it recovers within the send timeout: nothing lost
    ASSERT_TRUE(hung.WaitForDeliveries(6, 5000));
    EXPECT_EQ(Sequence(1, 6), RequestIds(hung.Deliveries()));
}

TEST(RPCTransport, ReceiverHungPastTheSendTimeoutLosesOnlyTheMessagesOfThatTime) {
    CRPCDeliveryPool::Limits limits;
    limits.giveUpAfterMs = 200;
    limits.sendTimeoutMs = 300;
    limits.idleEndMs = 50;
    CRPCDeliveryPool pool(limits);
    RPCTestWindow hung("Quillon hung receiver", RPCTestWindow::Behaviour::Accept);
    win::UniqueHandle gate(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    hung.HoldDeliveriesUntil(gate.Get());

    CServerNotify notice("n");
    const auto send = [&](std::int32_t id) {
        UIOBuffer payload;
        notice.MarshalPayload(id, payload);
        return pool.Deliver(ToRPCWindow(hung.Window()), 0, RPC_SERVER_NOTIFY, payload);
    };
    const ULONGLONG start = ::GetTickCount64();
    ASSERT_TRUE(send(1));  // taken in, then the receiver stops
    for (std::int32_t id = 2; id <= 20; ++id)
        ASSERT_TRUE(send(id));
    // The first send times out after 300 ms; the rest are past their 200 ms
    // by then and are dropped without waiting 300 ms each.
    for (int i = 0; i < 300 && pool.Threads() != 0; ++i)
        ::Sleep(10);
    const ULONGLONG drained = ::GetTickCount64() - start;
    EXPECT_GE(drained, 300u);
    EXPECT_LT(drained, 1500u);  // 20 timeouts in a row would take 6 s
    ::SetEvent(gate.Get());
    ASSERT_TRUE(send(21));
    ASSERT_TRUE(hung.WaitForDeliveries(2, 3000));
    EXPECT_EQ((std::vector<std::int32_t>{1, 21}), RequestIds(hung.Deliveries()));
}

TEST(RPCTransport, ServiceWindowAppearingAfterThreeSecondsGetsTheMessage) {
    ASSERT_EQ(nullptr, ::FindWindowA(nullptr, kRPCServiceWindowTitle));
    CServerNotify notify("type=whitelist&name=late.example");
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_TRUE(notify.Send(kRPCServiceWindow, 0, 0));
    EXPECT_LT(::GetTickCount64() - start, 100u);  // the caller never waits for delivery
    ::Sleep(3000);
    RPCTestWindow service(kRPCServiceWindowTitle, RPCTestWindow::Behaviour::Accept);
    ASSERT_TRUE(service.WaitForDeliveries(1, 3000));
    // Looked up every 100 ms.
    EXPECT_LT(::GetTickCount64() - start, 3000u + 400u);
    EXPECT_EQ("CServerNotify [1] type=whitelist&name=late.example", service.Deliveries()[0].decoded);
}

TEST(RPCTransport, RestartedServiceGetsTheMessagesSentAfterItsNewWindowAppeared) {
    // The window found by title is kept between deliveries; a restarted
    // service has a new one, which must be found again.
    for (std::int32_t id = 1; id <= 3; ++id) {
        RPCTestWindow service(kRPCServiceWindowTitle, RPCTestWindow::Behaviour::Accept);
        ASSERT_NE(nullptr, service.Window());
        CServerNotify notify("n");
        ASSERT_TRUE(notify.Send(kRPCServiceWindow, 0, id));
        ASSERT_TRUE(service.WaitForDeliveries(1, 2000)) << "service instance " << id;
        EXPECT_EQ(std::vector<std::int32_t>{id}, RequestIds(service.Deliveries()));
    }
}

TEST(RPCTransport, WithoutServiceWindowDeliveryGivesUpFiveSecondsAfterSendAndOthersGoOn) {
    ASSERT_EQ(nullptr, ::FindWindowA(nullptr, kRPCServiceWindowTitle));
    RPCTestWindow other("Quillon other receiver", RPCTestWindow::Behaviour::Accept);
    CServerNotify notify("type=phishing&name=nobody.example");
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_TRUE(notify.Send(kRPCServiceWindow, 0, 1));
    EXPECT_TRUE(notify.Send(kRPCServiceWindow, 0, 2));
    EXPECT_LT(::GetTickCount64() - start, 100u);
    SendNotices(ToRPCWindow(other.Window()), 0, 3);
    EXPECT_TRUE(other.WaitForDeliveries(3, 1000));

    ::Sleep(5300 - static_cast<DWORD>(::GetTickCount64() - start));
    RPCTestWindow service(kRPCServiceWindowTitle, RPCTestWindow::Behaviour::Accept);
    EXPECT_FALSE(service.WaitForDeliveries(1, 700));
}

TEST(RPCTransport, WindowThatIsGoneFailsAtOnceAndARefusedMessageIsNotRetried) {
    CRPCDeliveryPool::Limits limits;
    limits.idleEndMs = 50;  // the thread ends as soon as it has nothing left
    CRPCDeliveryPool pool(limits);
    HWND gone = nullptr;
    {
        RPCTestWindow closed("Quillon closed receiver", RPCTestWindow::Behaviour::Accept);
        gone = closed.Window();
    }
    ASSERT_FALSE(::IsWindow(gone));
    RPCTestWindow refusing("Quillon refusing receiver", RPCTestWindow::Behaviour::Refuse);
    CServerNotify notice("refuse me");
    UIOBuffer payload;
    notice.MarshalPayload(5, payload);

    const ULONGLONG start = ::GetTickCount64();
    ASSERT_TRUE(pool.Deliver(ToRPCWindow(gone), 0, RPC_SERVER_NOTIFY, payload));
    ASSERT_TRUE(pool.Deliver(ToRPCWindow(refusing.Window()), 0, RPC_SERVER_NOTIFY, payload));
    for (int i = 0; i < 300 && pool.Threads() != 0; ++i)
        ::Sleep(10);
    EXPECT_EQ(0u, pool.Threads());
    EXPECT_LT(::GetTickCount64() - start, 1000u);  // not the 5 s a look-up may take
    ASSERT_EQ(1u, refusing.Deliveries().size());
    EXPECT_EQ("CServerNotify [1] refuse me", refusing.Deliveries()[0].decoded);
}

class UnmarshallableMessage : public CRPCMsg {
public:
    UnmarshallableMessage() : CRPCMsg(RPC_SERVER_NOTIFY, 1) {}
    std::int32_t GetVersion() const override { return 1; }
    bool Marshal(bool, UIOBuffer&) override { return false; }
    std::string ToString() const override { return "UnmarshallableMessage"; }
};

TEST(RPCTransport, ZeroTargetOrUnmarshallableMessageStartsNoDelivery) {
    ASSERT_TRUE(WaitForNoDeliveryThreads(4000));
    testing_support::DiagnosticCapture capture;
    ASSERT_TRUE(capture.IsListening());
    CServerNotify notify("x");
    EXPECT_FALSE(notify.Send(0, 0, 0));
    UnmarshallableMessage message;
    EXPECT_FALSE(message.Send(kRPCServiceWindow, 0, 1));
    EXPECT_TRUE(capture.Reported("CRPCMsg::Send", "Failed to marshal data"));
    EXPECT_EQ(0, UThread::LiveCount());
}

TEST(RPCReceive, ReportsEmptyPayloadsAndVersionMismatchesButNotUnknownTypes) {
    testing_support::DiagnosticCapture capture;
    ASSERT_TRUE(capture.IsListening());

    COPYDATASTRUCT empty = {};
    empty.dwData = RPC_SERVER_NOTIFY;
    EXPECT_EQ(nullptr, CRPCMsg::Receive(0, &empty));
    EXPECT_TRUE(capture.Reported("CRPCMsg::Receive", "No rpc data"));

    capture.Clear();
    CServerNotify notify("x");
    std::string wire = Payload(notify, 1);
    COPYDATASTRUCT unknown = {};
    unknown.dwData = 10;
    unknown.cbData = static_cast<DWORD>(wire.size());
    unknown.lpData = wire.data();
    EXPECT_EQ(nullptr, CRPCMsg::Receive(0, &unknown));
    EXPECT_TRUE(capture.Lines().empty());

    wire[4] = 2;  // version 2 of a version-1 class
    COPYDATASTRUCT mismatch = unknown;
    mismatch.dwData = RPC_SERVER_NOTIFY;
    EXPECT_EQ(nullptr, CRPCMsg::Receive(0, &mismatch));
    EXPECT_TRUE(capture.Reported("CRPCMsg::Receive", "Couldn't marshal rpc data"));
}

}  // namespace
