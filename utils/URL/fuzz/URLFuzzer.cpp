// Cracks arbitrary bytes and puts every address question to the result: no
// input may read or write outside the fixed fields, and the answers must agree
// with the limits the address promises.
#include "utils/URL/AddressRules.h"
#include "utils/URL/HostLabels.h"
#include "utils/URL/PublicSuffix.h"
#include "utils/URL/RegExText.h"
#include "utils/URL/UURL.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void CheckFits(std::string_view field, std::size_t limit) {
    Check(field.size() <= limit);
    Check(field.data()[field.size()] == '\0');
}

void CheckAddress(const UURL& url, bool cracked) {
    CheckFits(url.GetSchemeName(), UURL::kMaxSchemeName);
    CheckFits(url.GetHostName(), UURL::kMaxHostName);
    CheckFits(url.GetUserName(), UURL::kMaxUserName);
    CheckFits(url.GetPassword(), UURL::kMaxPassword);
    CheckFits(url.GetUrlPath(), UURL::kMaxUrlPath);
    CheckFits(url.GetExtraInfo(), UURL::kMaxExtraInfo);
    Check(cracked != url.GetSchemeName().empty());
    Check(url.GetScheme() >= UURL::kSchemeUnknown && url.GetScheme() <= UURL::kSchemeSocks);
    const std::string_view extra = url.GetExtraInfo();
    Check(extra.empty() || extra[0] == '?' || extra[0] == '#');
    Check(url.GetHostName().find_first_of("/?#@:") == std::string_view::npos);
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return lower;
}

std::vector<std::string_view> Labels(std::string_view host) {
    std::vector<std::string_view> labels;
    std::size_t position = 0;
    for (std::string_view label = NextHostLabel(host, position); !label.empty();
         label = NextHostLabel(host, position))
        labels.push_back(label);
    return labels;
}

// The registrable domain is the host's last labels, at least two of them
// when there are two, and the same labels whatever the letter case.
void CheckDomain(const UURL& url) {
    const std::string domain = url.GetDomain();
    const std::string_view host = url.GetHostName();
    if (url.IsNumericHost()) {
        Check(domain == host);
        return;
    }
    const std::vector<std::string_view> labels = Labels(host);
    Check(!labels.empty());
    if (labels.size() == 1) {
        Check(domain == "." + std::string(labels[0]));
        return;
    }
    const std::vector<std::string_view> kept = Labels(domain);
    Check(kept.size() >= 2 && kept.size() <= labels.size());
    for (std::size_t i = 1; i <= kept.size(); ++i)
        Check(kept[kept.size() - i] == labels[labels.size() - i]);
    Check(RegistrableDomainLength(host) == kept.size() && PublicSuffixLength(host) >= 1);

    if (url.GetScheme() == UURL::kSchemeHttp || url.GetScheme() == UURL::kSchemeHttps) {
        const UURL lower("http://" + LowerAscii(host) + "/");
        Check(lower.GetDomain() == LowerAscii(domain));
    }
}

// The table read with arbitrary bytes as labels, dots included.
void CheckSuffixTable(std::string_view text) {
    const std::size_t count = Labels(text).size();
    const std::size_t keep = RegistrableDomainLength(text);
    Check(keep <= count && keep >= (count < 2 ? count : 2));
    std::size_t end = text.size();
    std::size_t backwards = 0;
    while (!PreviousHostLabel(text, end).empty())
        ++backwards;
    Check(backwards == count);
}

// A rated address always names a web host that is not this machine.
void CheckRateable(std::string_view text) {
    const std::string lower = LowerAscii(text);
    Check(lower.compare(0, 5, "http:") == 0 || lower.compare(0, 6, "https:") == 0);
    const UURL url(lower);
    const std::string_view host = url.GetHostName();
    Check(host.find_first_not_of('.') != std::string_view::npos);
    Check(host != "localhost" && host != "127.0.0.1");
    Check(url.GetScheme() == UURL::kSchemeHttp || url.GetScheme() == UURL::kSchemeHttps);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    UURL url;
    const bool cracked = url.Assign(text);
    CheckAddress(url, cracked);
    CheckDomain(url);
    CheckSuffixTable(text);

    UURL copy;
    copy = url;
    Check(copy.GetHostName() == url.GetHostName() && copy.GetPort() == url.GetPort());

    // The rules read the address as if lower-cased, without making the copy.
    const bool rateable = IsRateableURL(text);
    Check(rateable == IsRateableURL(LowerAscii(text)));
    if (rateable)
        CheckRateable(text);
    IsNonroutable(url.GetHostName());

    std::size_t position = 0;
    for (std::string_view label = NextHostLabel(url.GetHostName(), position); !label.empty();
         label = NextHostLabel(url.GetHostName(), position))
        IsSingleNumeric(label);

    const std::string truncated = TruncateAtSeparator(text);
    Check(truncated.size() <= text.size() && text.compare(0, truncated.size(), truncated) == 0);
    Check(truncated.find_first_of("?&;,") == std::string::npos);

    const std::string translated = TranslateRegEx(text);
    Check(translated.size() == text.size() && TranslateRegEx(translated) == text);
    return 0;
}
