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

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <future>
#include <set>

namespace {

using rpc_testing::Delivery;
using rpc_testing::RPCTestWindow;

constexpr char kClientTitle[] = "Client:{A534759F-A612-4cf7-BA15-D022203D2DD1}";

std::string Payload(CRPCMsg& message, std::int32_t requestId) {
    UIOBuffer buffer;
    message.MarshalPayload(requestId, buffer);
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

std::set<DWORD> ThreadsOfThisProcess() {
    std::set<DWORD> threads;
    win::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot)
        return threads;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more;
         more = ::Thread32Next(snapshot.Get(), &entry)) {
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId())
            threads.insert(entry.th32ThreadID);
    }
    return threads;
}

// The thread that appeared since `before`: the sender thread of a Send.
win::UniqueHandle OpenNewThread(const std::set<DWORD>& before) {
    for (const DWORD id : ThreadsOfThisProcess()) {
        if (before.count(id))
            continue;
        win::UniqueHandle thread(
            ::OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, id));
        if (thread)
            return thread;
    }
    return win::UniqueHandle();
}

DWORD ExitCodeOf(HANDLE thread) {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeThread(thread, &code);
    return code;
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

TEST(RPCTransport, ServiceWindowIsLookedUpAgainUntilItAppears) {
    CServerNotify notify("type=whitelist&name=late.example");
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_TRUE(notify.Send(kRPCServiceWindow, 0, 0));
    EXPECT_LT(::GetTickCount64() - start, 1000u);  // the caller never waits for delivery
    ::Sleep(700);
    RPCTestWindow service(kRPCServiceWindowTitle, RPCTestWindow::Behaviour::Accept);
    ASSERT_TRUE(service.WaitForDeliveries(1, 6000));
    EXPECT_EQ("CServerNotify [1] type=whitelist&name=late.example", service.Deliveries()[0].decoded);
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

TEST(RPCTransport, WithoutServiceWindowSendReturnsAtOnceAndTheThreadGivesUpAfterFiveSeconds) {
    ASSERT_EQ(nullptr, ::FindWindowA(nullptr, kRPCServiceWindowTitle));
    const std::set<DWORD> before = ThreadsOfThisProcess();
    CServerNotify notify("type=phishing&name=nobody.example");
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_TRUE(notify.Send(kRPCServiceWindow, 0, 0));
    EXPECT_LT(::GetTickCount64() - start, 1000u);

    win::UniqueHandle sender = OpenNewThread(before);
    ASSERT_TRUE(sender);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(sender.Get(), 10000));
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    EXPECT_GE(elapsed, 5000u);
    EXPECT_LT(elapsed, 6500u);
    EXPECT_EQ(1u, ExitCodeOf(sender.Get()));
}

TEST(RPCTransport, RefusedMessageIsNotRetried) {
    RPCTestWindow service(kRPCServiceWindowTitle, RPCTestWindow::Behaviour::Refuse);
    ASSERT_NE(nullptr, service.Window());
    win::UniqueHandle gate(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    service.HoldDeliveriesUntil(gate.Get());
    const std::set<DWORD> before = ThreadsOfThisProcess();
    CServerNotify notify("refuse me");
    ASSERT_TRUE(notify.Send(ToRPCWindow(service.Window()), 0, 5));
    ASSERT_TRUE(service.WaitForDeliveries(1, 5000));
    // The sender is still inside SendMessage, held by the gate.
    win::UniqueHandle sender = OpenNewThread(before);
    ::SetEvent(gate.Get());
    ASSERT_TRUE(sender);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(sender.Get(), 3000));
    EXPECT_EQ(1u, ExitCodeOf(sender.Get()));
    ::Sleep(300);
    EXPECT_EQ(1u, service.Deliveries().size());
    EXPECT_EQ("CServerNotify [1] refuse me", service.Deliveries()[0].decoded);
}

TEST(RPCTransport, ZeroTargetSendsNothing) {
    const std::set<DWORD> before = ThreadsOfThisProcess();
    CServerNotify notify("x");
    EXPECT_FALSE(notify.Send(0, 0, 0));
    EXPECT_FALSE(OpenNewThread(before));
}

class UnmarshallableMessage : public CRPCMsg {
public:
    UnmarshallableMessage() : CRPCMsg(RPC_SERVER_NOTIFY, 1) {}
    std::int32_t GetVersion() const override { return 1; }
    bool Marshal(bool, UIOBuffer&) override { return false; }
    std::string ToString() const override { return "UnmarshallableMessage"; }
};

TEST(RPCTransport, MessageThatCannotMarshalIsReportedAndNotSent) {
    testing_support::DiagnosticCapture capture;
    const std::set<DWORD> before = ThreadsOfThisProcess();
    UnmarshallableMessage message;
    EXPECT_FALSE(message.Send(kRPCServiceWindow, 0, 1));
    EXPECT_TRUE(capture.Reported("CRPCMsg::Send", "Failed to marshal data"));
    EXPECT_FALSE(OpenNewThread(before));
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
