#include "utils/URL/UURL.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/URL/HostLabels.h"
#include "utils/URL/PublicSuffix.h"

#include <cstring>

namespace {

struct KnownScheme {
    std::string_view name;
    std::uint16_t defaultPort;
};

// Indexed by scheme number.
constexpr KnownScheme kKnownSchemes[] = {
    {"ftp", 21},  {"gopher", 70}, {"http", 80},   {"https", 443},
    {"file", 0},  {"news", 0},    {"mailto", 0},  {"socks", 1080},
};

// Beyond this position a "://" belongs to the address's content, not to a
// scheme of its own.
constexpr std::size_t kLastSchemeSeparator = 7;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerName) {
    if (text.size() != lowerName.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (LowerAscii(text[i]) != lowerName[i])
            return false;
    }
    return true;
}

std::int32_t SchemeNumber(std::string_view name) {
    for (std::size_t i = 0; i < sizeof kKnownSchemes / sizeof kKnownSchemes[0]; ++i) {
        if (EqualsIgnoringCase(name, kKnownSchemes[i].name))
            return static_cast<std::int32_t>(i);
    }
    return UURL::kSchemeUnknown;
}

bool NeedsHttpPrefix(std::string_view text) {
    // Only the head of the address can hold the scheme's separator.
    const std::string_view head = text.substr(0, kLastSchemeSeparator + 3);
    return head.find("://") == std::string_view::npos;
}

// The position of the first character that matches, or the size when none
// does. A plain loop: find_first_of costs a library search per character.
template <typename Match>
std::size_t FindFirst(std::string_view text, Match match) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (match(text[i]))
            return i;
    }
    return text.size();
}

// The position of c, or the size when it does not occur.
std::size_t Find(std::string_view text, char c) {
    if (text.empty())
        return 0;  // an empty view may have no data at all
    const void* found = std::memchr(text.data(), c, text.size());
    return found == nullptr ? text.size()
                            : static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
}

bool EndsScheme(char c) { return c == ':' || c == '/' || c == '?'; }
bool EndsHost(char c) { return c == '?' || c == '#'; }

// Paths are the long part of an address: a vector search for each separator
// beats testing every character against both.
std::size_t FindPathEnd(std::string_view text) {
    const std::size_t query = Find(text, '?');
    return Find(text.substr(0, query), '#');
}

// The authority ends where the path, the query or the fragment begins.
std::size_t FindAuthorityEnd(std::string_view text) {
    const std::size_t slash = Find(text, '/');
    return FindFirst(text.substr(0, slash), EndsHost);
}

// The port is the value of the leading digits; trailing characters are
// ignored. A value that does not fit 16 bits is refused rather than wrapped
// onto some other port.
bool ParsePort(std::string_view text, std::uint16_t& port, bool& written) {
    std::uint32_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
        if (value > UINT16_MAX)
            return false;
    }
    written = i > 0;
    port = static_cast<std::uint16_t>(value);
    return true;
}

}  // namespace

UURL::UURL(const char* text) { Assign(text); }

UURL::UURL(std::string_view text) { Assign(text); }

void UURL::Clear() {
    scheme_.Clear();
    host_.Clear();
    user_.Clear();
    password_.Clear();
    path_.Clear();
    extra_.Clear();
    port_ = 0;
    portWritten_ = false;
    schemeNumber_ = kSchemeUnknown;
}

bool UURL::Assign(const char* text) {
    if (text == nullptr) {
        REPORT_ASSERT("UURL::Assign", "NULL pointer");
        Clear();
        return false;
    }
    return Assign(std::string_view(text));
}

bool UURL::Assign(std::string_view text) {
    Clear();
    if (Crack(text))
        return true;
    Clear();
    return false;
}

bool UURL::Crack(std::string_view text) {
    if (NeedsHttpPrefix(text)) {
        // As if "http://" stood in front: the text starts with the authority.
        scheme_.Set("http");
        schemeNumber_ = kSchemeHttp;
        if (!CrackAuthority(text))
            return false;
    } else {
        std::string_view rest;
        if (!CrackScheme(text, rest) || !CrackAfterScheme(rest))
            return false;
    }
    SetDefaultPort();
    return true;
}

bool UURL::CrackScheme(std::string_view text, std::string_view& rest) {
    const std::size_t end = FindFirst(text, EndsScheme);
    if (end == text.size() || text[end] != ':' || end == 0)
        return false;
    if (!scheme_.Set(text.substr(0, end)))
        return false;
    schemeNumber_ = SchemeNumber(scheme_.View());
    rest = text.substr(end + 1);
    return true;
}

bool UURL::CrackAfterScheme(std::string_view rest) {
    // A file address is all path, "?" and "#" included: they are legal in
    // file names.
    const bool isFile = schemeNumber_ == kSchemeFile;
    if (rest.substr(0, 2) == "//") {
        if (schemeNumber_ == kSchemeMailto)
            return false;
        if (isFile)
            return path_.Set(rest.substr(2));
        return CrackAuthority(rest.substr(2));
    }
    if (isFile)
        return path_.Set(rest);
    if (rest.substr(0, 1) == "/")
        return CrackPathAndExtra(rest);
    return CrackAuthority(rest);
}

bool UURL::CrackAuthority(std::string_view rest) {
    const std::size_t end = FindAuthorityEnd(rest);
    const std::string_view authority = rest.substr(0, end);
    std::string_view hostPort = authority;
    const std::size_t at = authority.find('@');
    if (at != std::string_view::npos) {
        if (authority.find('@', at + 1) != std::string_view::npos)
            return false;
        if (!CrackUserInfo(authority.substr(0, at)))
            return false;
        hostPort = authority.substr(at + 1);
    }
    return CrackHostAndPort(hostPort) && CrackPathAndExtra(rest.substr(end));
}

bool UURL::CrackUserInfo(std::string_view userInfo) {
    const std::size_t colon = userInfo.find(':');
    if (colon == std::string_view::npos)
        return user_.Set(userInfo);
    const std::string_view user = userInfo.substr(0, colon);
    const std::string_view password = userInfo.substr(colon + 1);
    if (user.empty() && !password.empty())
        return false;
    return user_.Set(user) && password_.Set(password);
}

bool UURL::CrackHostAndPort(std::string_view hostPort) {
    const std::size_t colon = hostPort.find(':');
    if (colon == std::string_view::npos)
        return host_.Set(hostPort);
    const std::string_view portText = hostPort.substr(colon + 1);
    if (portText.size() > kMaxPortText)
        return false;
    return host_.Set(hostPort.substr(0, colon)) && ParsePort(portText, port_, portWritten_);
}

bool UURL::CrackPathAndExtra(std::string_view rest) {
    const std::size_t split = FindPathEnd(rest);
    return path_.Set(rest.substr(0, split)) && extra_.Set(rest.substr(split));
}

void UURL::SetDefaultPort() {
    switch (schemeNumber_) {
    case kSchemeFile:
    case kSchemeNews:
    case kSchemeMailto:
        port_ = 0;
        return;
    default:
        break;
    }
    if (portWritten_)
        return;
    port_ = schemeNumber_ == kSchemeUnknown ? 0 : kKnownSchemes[schemeNumber_].defaultPort;
}

bool UURL::IsNumericHost() const {
    const std::string_view host = host_.View();
    std::size_t position = 0;
    for (std::string_view label = NextHostLabel(host, position); !label.empty();
         label = NextHostLabel(host, position)) {
        if (!IsSingleNumeric(label))
            return false;
    }
    return true;
}

std::string UURL::GetDomain() const {
    const std::string_view host = host_.View();
    if (IsNumericHost())
        return std::string(host);
    std::size_t position = 0;
    const std::string_view first = NextHostLabel(host, position);
    // A single-label host is an intranet name: its domain keeps the leading
    // dot that tells it from a registered name.
    if (NextHostLabel(host, position).empty())
        return "." + std::string(first);
    // The registrable labels, joined by single dots.
    std::size_t start = host.size();
    for (std::size_t keep = RegistrableDomainLength(host); keep > 0; --keep)
        PreviousHostLabel(host, start);
    std::string domain;
    domain.reserve(host.size() - start);
    for (std::string_view label = NextHostLabel(host, start); !label.empty(); label = NextHostLabel(host, start)) {
        if (!domain.empty())
            domain.push_back('.');
        domain.append(label);
    }
    return domain;
}
