// One HTTP/1.x request read from a connection, bounded in every dimension:
// bytes arrive in pieces, Feed says when the request is whole or why it
// can never be. Knows nothing of sockets, so the parser runs and is fuzzed
// anywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CHttpRequest {
public:
    // The request line and headers together; a longer head is refused (431).
    static constexpr std::size_t kMaxHead = 8 * 1024;
    static constexpr std::size_t kMaxHeaders = 64;
    // The body; a longer one is refused from its Content-Length (413).
    static constexpr std::size_t kMaxBody = 64 * 1024;

    enum class State { Incomplete, Complete, Bad };

    // Takes the next bytes of the connection. Bytes after a complete
    // request (a pipelined second one) are ignored: one request a connection.
    State Feed(std::string_view bytes);
    State GetState() const { return state_; }

    // Why the request is bad: the status to answer with and a reason.
    int ErrorStatus() const { return errorStatus_; }
    const std::string& ErrorText() const { return errorText_; }

    const std::string& Method() const { return method_; }
    const std::string& Target() const { return target_; }
    // The Host header; empty when there was none.
    const std::string& Host() const { return host_; }
    bool HasHost() const { return hasHost_; }
    const std::string& Body() const { return body_; }

private:
    State Fail(int status, std::string text);
    State ParseHead(std::string_view head);
    bool ParseRequestLine(std::string_view line);
    bool ParseHeader(std::string_view line);

    State state_ = State::Incomplete;
    std::string buffer_;
    bool headDone_ = false;
    std::size_t contentLength_ = 0;
    bool hasContentLength_ = false;
    std::size_t headerCount_ = 0;
    std::string method_;
    std::string target_;
    std::string host_;
    bool hasHost_ = false;
    std::string body_;
    int errorStatus_ = 0;
    std::string errorText_;
};
