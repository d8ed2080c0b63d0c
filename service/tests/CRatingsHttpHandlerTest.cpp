#include "service/CRatingsHttpHandler.h"
#include "service/CRatingsStore.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kRatings[] =
    "[site example.com]\nverdict = CERTIFIED\n"
    "[site bad.example.net]\nverdict = WARN\n"
    "[site mixed.example.org]\nverdict = INFO darkgrey\n";

class RatingsHttp : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store_.Load(kRatings, "test")); }

    std::string Respond(const std::string& body, const std::string& host = "127.0.0.1:27491",
                        const std::string& method = "POST", const std::string& target = "/ratings") {
        CHttpRequest request;
        request.Feed(method + " " + target + " HTTP/1.1\r\nHost: " + host +
                     "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
        return CRatingsHttpHandler(store_).Respond(request);
    }
    static int Status(const std::string& response) { return std::stoi(response.substr(9, 3)); }
    static std::string Body(const std::string& response) {
        const std::size_t at = response.find("\r\n\r\n");
        return at == std::string::npos ? "" : response.substr(at + 4);
    }

    CRatingsStore store_;
};

TEST_F(RatingsHttp, RatesEveryAddressInOrderAsTheWindowSideDoes) {
    const std::string response = Respond(
        "http://www.Example.com/page?q=1\r\n"
        "https://bad.example.net/\n"
        "HTTP://mixed.example.org\n"
        "http://unrated.example.info/\n"
        "about:blank\n"
        "\n"
        "unrated.example.info\n"
        "http://shop.bad.example.net:8080/x");
    EXPECT_EQ(200, Status(response));
    EXPECT_NE(std::string::npos, response.find("Content-Type: text/plain"));
    EXPECT_NE(std::string::npos, response.find("Content-Length: " + std::to_string(Body(response).size()) + "\r\n"));
    EXPECT_EQ(
        "CERTIFIED green www.Example.com\n"
        "WARN red bad.example.net\n"
        "INFO darkgrey mixed.example.org\n"
        "UNKNOWN grey unrated.example.info\n"
        "NONE none -\n"
        "NONE none -\n"
        "NONE none -\n"
        "WARN red shop.bad.example.net\n",
        Body(response));
}

TEST_F(RatingsHttp, ManyAddressesAtOnceUpToTheLimit) {
    std::string body;
    for (std::size_t i = 0; i < CRatingsHttpHandler::kMaxAddresses; ++i)
        body += "http://site" + std::to_string(i) + ".bad.example.net/\n";
    const std::string response = Respond(body);
    ASSERT_EQ(200, Status(response));
    const std::string answer = Body(response);
    std::size_t lines = 0;
    for (std::size_t at = answer.find("WARN red site"); at != std::string::npos; at = answer.find("WARN red site", at + 1))
        ++lines;
    EXPECT_EQ(CRatingsHttpHandler::kMaxAddresses, lines);

    const std::string tooMany = Respond(body + "http://one.more.example/\n");
    EXPECT_EQ(413, Status(tooMany));
    EXPECT_NE(std::string::npos, Body(tooMany).find("more than 200 addresses"));
}

TEST_F(RatingsHttp, BadInputGetsAStatusAndAReason) {
    const struct {
        std::string body, host, method, target;
        int status;
        const char* reason;
    } cases[] = {
        {"", "127.0.0.1:27491", "POST", "/ratings", 400, "no addresses"},
        {"http://a.example/\x01\n", "127.0.0.1", "POST", "/ratings", 400, "address 1 holds control"},
        {"http://a.example/\n" + std::string(2084, 'a'), "localhost", "POST", "/ratings", 400,
         "address 2 is longer than 2083"},
        {"http://a.example/", "evil.example:27491", "POST", "/ratings", 403, "loopback"},
        {"http://a.example/", "127.0.0.1.evil.example", "POST", "/ratings", 403, "loopback"},
        {"http://a.example/", "[::1]:27491", "POST", "/whitelist", 404, "/ratings"},
        {"http://a.example/", "[::1]", "PUT", "/ratings", 405, "POST"},
        {"", "127.0.0.1", "GET", "/ratings", 405, "POST"},
    };
    for (const auto& test : cases) {
        const std::string response = Respond(test.body, test.host, test.method, test.target);
        EXPECT_EQ(test.status, Status(response)) << test.reason;
        EXPECT_NE(std::string::npos, Body(response).find(test.reason)) << Body(response);
        EXPECT_NE(std::string::npos, response.find("Connection: close"));
    }
    CHttpRequest bad;
    bad.Feed("POST /ratings HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n");
    EXPECT_EQ(501, Status(CRatingsHttpHandler(store_).Respond(bad)));
    CHttpRequest unfinished;
    unfinished.Feed("POST /ratings HTTP/1.1\r\nContent-Length: 9\r\n\r\nab");
    EXPECT_EQ(408, Status(CRatingsHttpHandler(store_).Respond(unfinished)));
}

TEST(RatingsHttpHost, OnlyLoopbackNamesPass) {
    for (const char* host : {"127.0.0.1", "127.0.0.1:27491", "localhost", "localhost:1", "[::1]", "[::1]:27491"})
        EXPECT_TRUE(CRatingsHttpHandler::IsLoopbackHost(host)) << host;
    for (const char* host : {"", "127.0.0.2x", "localhost.example", "[::2]", "[::1", "[::1]x", "127.0.0.1:",
                             "127.0.0.1:port", "10.0.0.1", "0.0.0.0:27491", "localhost:123456"})
        EXPECT_FALSE(CRatingsHttpHandler::IsLoopbackHost(host)) << host;
}

}  // namespace
