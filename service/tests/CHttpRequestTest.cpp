#include "service/CHttpRequest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CHttpRequest Parse(const std::string& bytes) {
    CHttpRequest request;
    request.Feed(bytes);
    return request;
}

TEST(HttpRequest, WholeRequestInAnySplitOfItsBytes) {
    const std::string bytes =
        "POST /ratings HTTP/1.1\r\nHost: 127.0.0.1:27491\r\ncontent-length: 11\r\n\r\nhttp://a.b/";
    for (std::size_t split = 0; split <= bytes.size(); ++split) {
        CHttpRequest request;
        request.Feed(bytes.substr(0, split));
        if (split < bytes.size()) {
            EXPECT_EQ(CHttpRequest::State::Incomplete, request.GetState()) << split;
        }
        ASSERT_EQ(CHttpRequest::State::Complete, request.Feed(bytes.substr(split))) << split;
        EXPECT_EQ("POST", request.Method());
        EXPECT_EQ("/ratings", request.Target());
        EXPECT_EQ("127.0.0.1:27491", request.Host());
        EXPECT_EQ("http://a.b/", request.Body());
    }
}

TEST(HttpRequest, BareLineFeedsLeadingEmptyLinesAndPipelinedBytes) {
    CHttpRequest request = Parse("\r\n\nGET /x HTTP/1.0\nHost:localhost\n\nGET /second HTTP/1.1\r\n");
    ASSERT_EQ(CHttpRequest::State::Complete, request.GetState());
    EXPECT_EQ("/x", request.Target());
    EXPECT_EQ("localhost", request.Host());
    EXPECT_EQ("", request.Body());  // one request a connection: the rest is not body
}

TEST(HttpRequest, BadRequestsSayWhichStatusAndWhy) {
    const std::string big(CHttpRequest::kMaxBody + 1, 'a');
    std::string manyHeaders = "GET / HTTP/1.1\r\n";
    for (std::size_t i = 0; i <= CHttpRequest::kMaxHeaders; ++i)
        manyHeaders += "X-" + std::to_string(i) + ": y\r\n";
    const struct {
        std::string bytes;
        int status;
    } cases[] = {
        {"POST /ratings HTTP/1.1\r\nHost: a\r\n\r\n", 411},
        {"POST /ratings HTTP/1.1\r\nContent-Length: 65537\r\n\r\n", 413},
        {"POST /ratings HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n", 413},
        {"POST /ratings HTTP/1.1\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\n", 400},
        {"POST /ratings HTTP/1.1\r\nContent-Length: -1\r\n\r\n", 400},
        {"POST /ratings HTTP/1.1\r\nContent-Length: 1 2\r\n\r\n", 400},
        {"POST /ratings HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 501},
        {"GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: a\r\n folded\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nNo colon\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nBad\x01Name: x\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nName: x\x01y\r\n\r\n", 400},
        {"GET / HTTP/2.0\r\n\r\n", 505},
        {"GET / FTP/1.0\r\n\r\n", 400},
        {"GET /\r\n\r\n", 400},
        {"GET  / HTTP/1.1\r\n\r\n", 400},
        {"GET http://a/ HTTP/1.1\r\n\r\n", 400},
        {"G(T / HTTP/1.1\r\n\r\n", 400},
        {"GET /a\x7f HTTP/1.1\r\n\r\n", 400},
        {"GET /" + big + " HTTP/1.1\r\n\r\n", 431},
        {"GET /" + std::string(CHttpRequest::kMaxHead, 'a'), 431},
        {manyHeaders + "\r\n", 431},
    };
    for (const auto& test : cases) {
        CHttpRequest request = Parse(test.bytes);
        EXPECT_EQ(CHttpRequest::State::Bad, request.GetState()) << test.bytes.substr(0, 80);
        EXPECT_EQ(test.status, request.ErrorStatus()) << test.bytes.substr(0, 80);
        EXPECT_FALSE(request.ErrorText().empty());
        // A bad request stays bad whatever follows.
        EXPECT_EQ(CHttpRequest::State::Bad, request.Feed("\r\n\r\n"));
    }
}

TEST(HttpRequest, BodyStopsAtItsLengthAndAFloodIsNotKept) {
    CHttpRequest request;
    request.Feed("POST /ratings HTTP/1.1\r\nContent-Length: 5\r\n\r\nab");
    EXPECT_EQ(CHttpRequest::State::Incomplete, request.GetState());
    EXPECT_EQ(CHttpRequest::State::Complete, request.Feed("cdefgh"));
    EXPECT_EQ("abcde", request.Body());

    // Megabytes without an end of head: refused once the head limit is passed.
    CHttpRequest flood;
    const std::string chunk(4096, 'x');
    int fed = 0;
    while (flood.Feed(chunk) == CHttpRequest::State::Incomplete && fed < 1000)
        ++fed;
    EXPECT_EQ(431, flood.ErrorStatus());
    EXPECT_LE(fed, 3);
}

}  // namespace
