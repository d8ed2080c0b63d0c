#include "service/CRatingsHttpHandler.h"

#include "service/CRatingsStore.h"
#include "utils/URL/UURL.h"
#include "utils/iRPC/StringTable.h"
#include "utils/iRPC/Verdict.h"

#include <vector>

namespace {

const char* StatusText(int status) {
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 411: return "Length Required";
    case 413: return "Content Too Large";
    case 431: return "Request Header Fields Too Large";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
    }
}

std::string Response(int status, std::string_view body, const char* extraHeaders = "") {
    return "HTTP/1.1 " + std::to_string(status) + " " + StatusText(status) +
           "\r\nContent-Type: text/plain; charset=us-ascii"
           "\r\nContent-Length: " +
           std::to_string(body.size()) +
           "\r\nCache-Control: no-store"
           "\r\nX-Content-Type-Options: nosniff"
           "\r\nConnection: close\r\n" +
           extraHeaders + "\r\n" + std::string(body);
}

std::string Name(std::int32_t index, const char* const* table) {
    return index >= 0 ? IndexToString(index, table) : std::string();
}

// Results lead to web sites: only absolute http and https addresses are
// rated ("about:blank" would otherwise crack as the host "about").
bool IsWebAddress(std::string_view address) {
    std::string scheme(address.substr(0, 8));
    for (char& c : scheme)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return scheme.compare(0, 7, "http://") == 0 || scheme == "https://";
}

}  // namespace

std::string CRatingsHttpHandler::ErrorResponse(int status, std::string_view reason) {
    return Response(status, std::to_string(status) + " " + StatusText(status) + ": " + std::string(reason) + "\n");
}

bool CRatingsHttpHandler::IsLoopbackHost(std::string_view host) {
    std::string_view name = host;
    if (!name.empty() && name.front() == '[') {
        const std::size_t close = name.find(']');
        if (close == std::string_view::npos)
            return false;
        const std::string_view rest = name.substr(close + 1);
        name = name.substr(0, close + 1);
        if (!rest.empty() && rest.front() != ':')
            return false;
        return name == "[::1]";
    }
    const std::size_t colon = name.find(':');
    if (colon != std::string_view::npos) {
        const std::string_view port = name.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string_view::npos)
            return false;
        name = name.substr(0, colon);
    }
    return name == "127.0.0.1" || name == "localhost";
}

std::string CRatingsHttpHandler::Respond(const CHttpRequest& request) const {
    if (request.GetState() == CHttpRequest::State::Bad)
        return ErrorResponse(request.ErrorStatus(), request.ErrorText());
    if (request.GetState() != CHttpRequest::State::Complete)
        return ErrorResponse(408, "the request did not arrive whole in time");
    if (!request.HasHost() || !IsLoopbackHost(request.Host()))
        return ErrorResponse(403, "the Host header must name the loopback interface");
    std::string_view target = request.Target();
    target = target.substr(0, target.find('?'));
    if (target != kPath)
        return ErrorResponse(404, "ratings are asked at " + std::string(kPath));
    if (request.Method() != "POST")
        return Response(405, "405 Method Not Allowed: ratings are asked by POST\n", "Allow: POST\r\n");
    std::string answer;
    const std::string fault = RateAll(request.Body(), &answer);
    if (!fault.empty())
        return ErrorResponse(fault.compare(0, 4, "more") == 0 ? 413 : 400, fault);
    return Response(200, answer);
}

std::string CRatingsHttpHandler::RateAll(std::string_view body, std::string* answer) const {
    // Checked whole before any rating, so a bad request costs no look-ups.
    std::vector<std::string_view> addresses;
    while (!body.empty()) {
        const std::size_t end = body.find('\n');
        std::string_view line = body.substr(0, end);
        body.remove_prefix(end == std::string_view::npos ? body.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (addresses.size() == kMaxAddresses)
            return "more than " + std::to_string(kMaxAddresses) + " addresses";
        if (line.size() > kMaxAddressLength)
            return "address " + std::to_string(addresses.size() + 1) + " is longer than " +
                   std::to_string(kMaxAddressLength) + " characters";
        for (const char c : line) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                return "address " + std::to_string(addresses.size() + 1) + " holds control characters";
        }
        addresses.push_back(line);
    }
    if (addresses.empty())
        return "no addresses: send one address a line";
    for (const std::string_view address : addresses)
        *answer += RateOne(address);
    return std::string();
}

std::string CRatingsHttpHandler::RateOne(std::string_view address) const {
    if (!IsWebAddress(address))
        return "NONE none -\n";
    const UURL url(address);
    const std::string_view host = url.GetHostName();
    if (host.empty())
        return "NONE none -\n";
    // The same look-up and the same answer for an unrated host as the
    // window side gives (see CAnswerDocument::ForSite).
    const SiteRating* rating = ratings_.FindSite(host);
    const std::int32_t code = rating ? rating->verdict.code : VERDICT_UNKNOWN;
    const std::int32_t color = rating ? rating->verdict.color : COLOR_GREY;
    std::string codeName = Name(code, kVerdictCodeNames);
    std::string colorName = Name(color, kVerdictColorNames);
    return (codeName.empty() ? "NONE" : codeName) + " " + (colorName.empty() ? "none" : colorName) + " " +
           std::string(host) + "\n";
}
