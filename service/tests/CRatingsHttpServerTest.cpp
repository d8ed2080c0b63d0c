// The HTTP side's sockets under Wine's real Winsock: requests over loopback
// connections, limits enforced on the wire, and the refusal to listen
// anywhere but on the loopback interface.
#include "service/CRatingsHttpServer.h"
#include "service/CRatingsStore.h"
#include "service/tests/HttpClient.h"
#include "tests/support/DiagnosticCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

using namespace service_testing;

bool Said(const testing_support::DiagnosticCapture& capture, const std::string& text) {
    for (const std::string& line : capture.Lines()) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

class RatingsHttpServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store_.Load("[site example.com]\nverdict = CERTIFIED\n[site bad.example.net]\nverdict = WARN\n",
                                "test"));
        ASSERT_TRUE(server_.Start("127.0.0.1", 0));
        port_ = server_.Port();
        ASSERT_NE(0, port_);
    }

    CRatingsStore store_;
    CRatingsHttpServer server_{store_};
    unsigned short port_ = 0;
};

TEST_F(RatingsHttpServer, AnswersBatchesOverLoopbackConnections) {
    const std::string response = RatingsRequest(port_, "http://www.example.com/\r\nhttps://x.bad.example.net/a\r\n");
    EXPECT_EQ(200, StatusOf(response)) << response;
    EXPECT_EQ("CERTIFIED green www.example.com\nWARN red x.bad.example.net\n", BodyOf(response));

    // Many addresses in one request, and several clients one after another.
    std::string body;
    for (std::size_t i = 0; i < CRatingsHttpHandler::kMaxAddresses; ++i)
        body += "http://site" + std::to_string(i) + ".example.com/result\n";
    std::vector<std::thread> clients;
    std::vector<std::string> answers(4);
    for (std::string& answer : answers)
        clients.emplace_back([&, this] { answer = RatingsRequest(port_, body); });
    for (std::thread& client : clients)
        client.join();
    for (const std::string& answer : answers) {
        ASSERT_EQ(200, StatusOf(answer));
        const std::string lines = BodyOf(answer);
        EXPECT_EQ(CRatingsHttpHandler::kMaxAddresses,
                  static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n')));
        EXPECT_NE(std::string::npos, answer.find("CERTIFIED green site199.example.com\n"));
    }
}

TEST_F(RatingsHttpServer, OversizedMalformedAndSlowRequestsAreRefusedOnTheWire) {
    const struct {
        std::string request;
        int status;
    } cases[] = {
        {"POST /ratings HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 100000\r\n\r\n", 413},
        {"POST /ratings HTTP/1.1\r\nHost: 127.0.0.1\r\n" + std::string(20000, 'X') + "\r\n\r\n", 431},
        {"BREW /ratings HTCPCP/1.0\r\n\r\n", 400},
        {"GET /ratings HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", 405},
        {"POST /whitelist HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 3\r\n\r\na.b", 404},
        {"POST /ratings HTTP/1.1\r\nHost: rebound.example\r\nContent-Length: 3\r\n\r\na.b", 403},
    };
    for (const auto& test : cases) {
        const std::string response = HttpExchange(port_, test.request);
        EXPECT_EQ(test.status, StatusOf(response)) << test.request.substr(0, 60);
        EXPECT_FALSE(BodyOf(response).empty());
    }
    // Half a request, then silence: 408 once the wait is over.
    const DWORD start = ::GetTickCount();
    const std::string slow =
        HttpExchange(port_, "POST /ratings HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 10\r\n\r\nab");
    EXPECT_EQ(408, StatusOf(slow));
    EXPECT_GE(::GetTickCount() - start + 50, CRatingsHttpServer::kRequestMilliseconds);
    // A request sent in two parts with a pause is still one request.
    const std::string split = HttpExchange(port_, "POST /ratings HTTP/1.1\r\nHost: localhost\r\nContent-Len", 300,
                                           "gth: 24\r\n\r\nhttp://bad.example.net/\n");
    EXPECT_EQ("WARN red bad.example.net\n", BodyOf(split));
    // After all that the service still answers.
    EXPECT_EQ(200, StatusOf(RatingsRequest(port_, "http://example.com/")));
}

TEST(RatingsHttpServerBind, RefusesEveryAddressButLoopbackAndATakenPort) {
    CRatingsStore store;
    for (const char* address : {"0.0.0.0", "192.168.1.10", "10.0.0.1", "::", "::ffff:127.0.0.1", "fe80::1",
                                "localhost", "", "127.0.0.1 "}) {
        testing_support::DiagnosticCapture capture;
        CRatingsHttpServer server(store);
        EXPECT_FALSE(server.Start(address, 0)) << address;
        EXPECT_EQ(0, server.Port());
        EXPECT_TRUE(Said(capture, "Refused to listen on")) << address;
    }
    CRatingsHttpServer first(store);
    ASSERT_TRUE(first.Start("127.0.0.1", 0));
    CRatingsHttpServer second(store);
    testing_support::DiagnosticCapture capture;
    EXPECT_FALSE(second.Start("127.0.0.1", first.Port()));
    EXPECT_TRUE(Said(capture, "Could not listen on"));
    // Another address of the loopback range is loopback too.
    CRatingsHttpServer other(store);
    EXPECT_TRUE(other.Start("127.0.0.2", 0));
}

}  // namespace
