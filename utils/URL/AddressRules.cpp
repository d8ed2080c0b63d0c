#include "utils/URL/AddressRules.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/URL/HostLabels.h"
#include "utils/URL/UURL.h"

namespace {

constexpr std::string_view kPrivatePrefixes[] = {
    "10.",     "192.168.", "172.16.", "172.17.", "172.18.", "172.19.",
    "172.20.", "172.21.",  "172.22.", "172.23.", "172.24.", "172.25.",
    "172.26.", "172.27.",  "172.28.", "172.29.", "172.30.", "172.31.",
};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares as if the text had been lower-cased; lowerText is lower case.
bool EqualsIgnoringCase(std::string_view text, std::string_view lowerText) {
    if (text.size() != lowerText.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (LowerAscii(text[i]) != lowerText[i])
            return false;
    }
    return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view lowerPrefix) {
    return EqualsIgnoringCase(text.substr(0, lowerPrefix.size()), lowerPrefix);
}

bool HasLabels(std::string_view host) {
    std::size_t position = 0;
    return !NextHostLabel(host, position).empty();
}

bool IsRateableHost(const UURL& url) {
    const std::string_view host = url.GetHostName();
    if (EqualsIgnoringCase(host, "localhost") || host == "127.0.0.1")
        return false;
    // Nothing to rate: no host at all, or an address that did not crack.
    if (!HasLabels(host))
        return false;
    // The private prefixes only mean a private network when the whole host is
    // an address: "10.example.com" is a public name and is rated.
    if (url.IsNumericHost())
        return !IsNonroutable(host);
    return host[0] != '.' && host.find('.') != std::string_view::npos;
}

}  // namespace

bool IsNonroutable(const char* host) {
    if (host == nullptr) {
        REPORT_ASSERT("IsNonroutable", "NULL pointer");
        return true;
    }
    return IsNonroutable(std::string_view(host));
}

bool IsNonroutable(std::string_view host) {
    if (host.empty() || host[0] != '1')
        return false;  // every prefix starts with "1"
    for (const std::string_view prefix : kPrivatePrefixes) {
        if (StartsWith(host, prefix))
            return true;
    }
    return false;
}

bool IsRateableURL(const char* address) {
    if (address == nullptr) {
        REPORT_ASSERT("IsRateableURL", "NULL pointer");
        return false;
    }
    return IsRateableURL(std::string_view(address));
}

// The rules read the address as if lower-cased. Only letters change under
// that, and neither the crack nor the host tests depend on the case of a
// letter, except the name "localhost" which is compared without it; so the
// address is read as it is, with no copy.
bool IsRateableURL(std::string_view address) {
    if (!StartsWithIgnoringCase(address, "http:") && !StartsWithIgnoringCase(address, "https:"))
        return false;
    if (StartsWithIgnoringCase(address, "http:///?"))
        return false;
    return IsRateableHost(UURL(address));
}

std::string TruncateAtSeparator(const char* text) {
    if (text == nullptr) {
        REPORT_ASSERT("TruncateAtSeparator", "NULL pointer");
        return std::string();
    }
    return TruncateAtSeparator(std::string_view(text));
}

std::string TruncateAtSeparator(std::string_view text) {
    return std::string(text.substr(0, text.find_first_of("?&;,")));
}
