#include "service/CHttpRequest.h"

#include <utility>

namespace {

bool IsTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    for (const char allowed : std::string_view("!#$%&'*+-.^_`|~")) {
        if (c == allowed)
            return true;
    }
    return false;
}

bool IsToken(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text) {
        if (!IsTokenChar(c))
            return false;
    }
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The end of the head: the first empty line. Lines end with CRLF, or a bare
// LF as lenient servers accept. Returns the offset of the body, or npos.
std::size_t FindBodyStart(std::string_view text, std::size_t* headLength) {
    for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
        std::size_t next = at + 1;
        if (next < text.size() && text[next] == '\n') {
            *headLength = at;
            return next + 1;
        }
        if (next + 1 < text.size() && text[next] == '\r' && text[next + 1] == '\n') {
            *headLength = at;
            return next + 2;
        }
    }
    return std::string_view::npos;
}

}  // namespace

CHttpRequest::State CHttpRequest::Fail(int status, std::string text) {
    errorStatus_ = status;
    errorText_ = std::move(text);
    buffer_.clear();
    return state_ = State::Bad;
}

CHttpRequest::State CHttpRequest::Feed(std::string_view bytes) {
    if (state_ != State::Incomplete)
        return state_;
    if (!headDone_) {
        // Only as much as can still belong to the head (and the body's
        // limit) is kept, so a flood never grows the buffer.
        const std::size_t room = kMaxHead + 4 + kMaxBody - buffer_.size();
        buffer_.append(bytes.substr(0, room));
        std::size_t headLength = 0;
        // A request may start after empty lines (RFC 9112 2.2).
        while (buffer_.size() >= 2 && buffer_.compare(0, 2, "\r\n") == 0)
            buffer_.erase(0, 2);
        while (!buffer_.empty() && buffer_[0] == '\n')
            buffer_.erase(0, 1);
        const std::size_t bodyStart = FindBodyStart(buffer_, &headLength);
        if (bodyStart == std::string::npos || headLength > kMaxHead) {
            if (buffer_.size() > kMaxHead || headLength > kMaxHead)
                return Fail(431, "the request line and headers are longer than " + std::to_string(kMaxHead) +
                                     " bytes");
            return state_;
        }
        if (ParseHead(std::string_view(buffer_).substr(0, headLength)) == State::Bad)
            return state_;
        headDone_ = true;
        body_ = buffer_.substr(bodyStart);
        buffer_.clear();
    } else {
        body_.append(bytes.substr(0, contentLength_ - body_.size()));
    }
    if (body_.size() >= contentLength_) {
        body_.resize(contentLength_);
        state_ = State::Complete;
    }
    return state_;
}

CHttpRequest::State CHttpRequest::ParseHead(std::string_view head) {
    std::size_t lineEnd = head.find('\n');
    std::string_view line = head.substr(0, lineEnd);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (!ParseRequestLine(line))
        return state_;
    while (lineEnd != std::string_view::npos) {
        head.remove_prefix(lineEnd + 1);
        lineEnd = head.find('\n');
        line = head.substr(0, lineEnd);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!ParseHeader(line))
            return state_;
    }
    if (!hasContentLength_ && method_ == "POST")
        return Fail(411, "a POST needs a Content-Length");
    return state_;
}

bool CHttpRequest::ParseRequestLine(std::string_view line) {
    const std::size_t firstSpace = line.find(' ');
    const std::size_t lastSpace = line.rfind(' ');
    if (firstSpace == std::string_view::npos || firstSpace == lastSpace) {
        Fail(400, "the request line is not \"METHOD target HTTP/1.x\"");
        return false;
    }
    const std::string_view method = line.substr(0, firstSpace);
    const std::string_view target = line.substr(firstSpace + 1, lastSpace - firstSpace - 1);
    const std::string_view version = line.substr(lastSpace + 1);
    if (!IsToken(method) || target.empty() || target.front() != '/') {
        Fail(400, "the request line is not \"METHOD target HTTP/1.x\"");
        return false;
    }
    for (const char c : target) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) {
            Fail(400, "the request target holds spaces or control characters");
            return false;
        }
    }
    if (version != "HTTP/1.1" && version != "HTTP/1.0") {
        Fail(version.size() == 8 && version.compare(0, 5, "HTTP/") == 0 ? 505 : 400,
             "only HTTP/1.0 and HTTP/1.1 are spoken");
        return false;
    }
    method_ = std::string(method);
    target_ = std::string(target);
    return true;
}

bool CHttpRequest::ParseHeader(std::string_view line) {
    if (++headerCount_ > kMaxHeaders) {
        Fail(431, "more than " + std::to_string(kMaxHeaders) + " headers");
        return false;
    }
    const std::size_t colon = line.find(':');
    // A line folded onto the previous one is obsolete and ambiguous.
    if (colon == std::string_view::npos || !IsToken(line.substr(0, colon))) {
        Fail(400, "a header line is not \"Name: value\"");
        return false;
    }
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = TrimSpaces(line.substr(colon + 1));
    for (const char c : value) {
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f) {
            Fail(400, "a header value holds control characters");
            return false;
        }
    }
    if (EqualsNoCase(name, "Transfer-Encoding")) {
        Fail(501, "Transfer-Encoding is not accepted; send a Content-Length");
        return false;
    }
    if (EqualsNoCase(name, "Host")) {
        if (hasHost_) {
            Fail(400, "more than one Host header");
            return false;
        }
        hasHost_ = true;
        host_ = std::string(value);
    } else if (EqualsNoCase(name, "Content-Length")) {
        std::size_t length = 0;
        if (value.empty()) {
            Fail(400, "Content-Length is not a number");
            return false;
        }
        for (const char c : value) {
            if (c < '0' || c > '9') {
                Fail(400, "Content-Length is not a number");
                return false;
            }
            length = length * 10 + static_cast<std::size_t>(c - '0');
            if (length > kMaxBody) {
                Fail(413, "the body is longer than " + std::to_string(kMaxBody) + " bytes");
                return false;
            }
        }
        // Two lengths that differ leave the request's end in doubt.
        if (hasContentLength_ && length != contentLength_) {
            Fail(400, "Content-Length headers differ");
            return false;
        }
        hasContentLength_ = true;
        contentLength_ = length;
    }
    return true;
}
