// What the rating service answers over HTTP: batch ratings, nothing else.
//
//   POST /ratings HTTP/1.1
//   Host: 127.0.0.1:27491
//   Content-Length: ...
//
//   http://www.example.com/page<LF>
//   https://other.example.org/<LF>
//
// The body holds one address a line (LF or CRLF). The answer, 200 with
// text/plain, holds one line for each address in the same order:
// "<verdict> <colour> <host>", for example "WARN red bad.example.net", with
// the names of the verdict vocabulary ("UNKNOWN grey" for a host the
// database does not rate). An address that is not an absolute http or https one with a host gets
// "NONE none -". The ratings are those the WM_COPYDATA side answers with;
// the do-not-warn list and every other user data stay out of reach, and no
// request changes anything.
//
// Bad input gets a 4xx/5xx status and a one-line text/plain body that says
// why. OS-free: the socket side is CRatingsHttpServer.
#pragma once

#include "service/CHttpRequest.h"

#include <cstddef>
#include <string>
#include <string_view>

class CRatingsStore;

class CRatingsHttpHandler {
public:
    // A results page shows tens of links; a few pages' worth fit.
    static constexpr std::size_t kMaxAddresses = 200;
    // The longest address the browser itself accepts.
    static constexpr std::size_t kMaxAddressLength = 2083;
    static constexpr char kPath[] = "/ratings";

    explicit CRatingsHttpHandler(const CRatingsStore& ratings) : ratings_(ratings) {}

    // The whole response, status line to body, for a complete or bad request.
    std::string Respond(const CHttpRequest& request) const;
    // A response with an error status and its reason as the body.
    static std::string ErrorResponse(int status, std::string_view reason);

    // Whether a Host header names this machine's loopback interface, so a
    // page that rebinds its own name to 127.0.0.1 is turned away.
    static bool IsLoopbackHost(std::string_view host);

private:
    std::string RateAll(std::string_view body, std::string* answer) const;
    std::string RateOne(std::string_view address) const;

    const CRatingsStore& ratings_;
};
