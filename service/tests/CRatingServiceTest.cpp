// The service's window in this process: what can be seen of it only from
// inside, next to the tests of the real program in RatingServiceTest.
#include "service/CRatingService.h"

#include "utils/Environment/PathMacros.h"
#include "utils/Thread/UThread.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/iRPC/tests/RPCTestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(CRatingService, WindowLetsProtectedModePagesInAndAnswersThroughTheDeliveryThreads) {
    std::string logPath = "%DATA_DIR%service-window-test-log.txt";
    NormalizePath(logPath);
    {
        CRatingsStore ratings;
        CServiceLog log(logPath);
        CRatingService service(ratings, log);
        ASSERT_TRUE(service.Create());
        EXPECT_EQ(service.Window(), ::FindWindowA(nullptr, kRPCServiceWindowTitle));
        // Wine has no integrity levels: its ChangeWindowMessageFilterEx
        // accepts and changes nothing, so this shows the call is made and
        // harmless; the query below shows the window still receives.
        EXPECT_EQ(UMessageWindow::FilterResult::Allowed, service.LowerIntegrityFilter());

        rpc_testing::RPCTestWindow client("Quillon service window test client",
                                          rpc_testing::RPCTestWindow::Behaviour::Accept);
        CServerURLQuery query("http://unknown.example/");
        ASSERT_TRUE(query.Send(kRPCServiceWindow, ToRPCWindow(client.Window()), 9));
        long mostLive = 0;
        for (int i = 0; i < 500 && client.Deliveries().size() < 2; ++i) {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&message);
            mostLive = std::max(mostLive, UThread::LiveCount());
            ::Sleep(10);
        }
        const auto answers = client.Deliveries();
        ASSERT_EQ(2u, answers.size());
        EXPECT_EQ(static_cast<std::uintptr_t>(RPC_CLIENT_META_RESULTS), answers[0].type);
        EXPECT_EQ(static_cast<std::uintptr_t>(RPC_CLIENT_URL_RESULTS), answers[1].type);
        EXPECT_EQ(9, answers[1].requestId);
        // Query and answers all went by delivery threads, never more than the bound.
        EXPECT_GE(mostLive, 1);
        EXPECT_LE(mostLive, 8);
    }
    ::DeleteFileA(logPath.c_str());
}

}  // namespace
