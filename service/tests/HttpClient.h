// A bare HTTP exchange over a real loopback connection, for the tests of the
// service's HTTP side: sends bytes as given (well formed or not) and reads
// whatever comes back until the service closes the connection.
#pragma once

#include <string>

namespace service_testing {

// Sends `request` to 127.0.0.1:`port`, optionally waits `pauseMilliseconds`
// with the connection open and then sends `late`, and returns all that the
// service answered. Empty when no connection could be made.
std::string HttpExchange(unsigned short port, const std::string& request, unsigned pauseMilliseconds = 0,
                         const std::string& late = std::string());
// A POST of `body` to /ratings with the usual headers.
std::string RatingsRequest(unsigned short port, const std::string& body);
// The status code of a response, 0 when there is none.
int StatusOf(const std::string& response);
std::string BodyOf(const std::string& response);

}  // namespace service_testing
