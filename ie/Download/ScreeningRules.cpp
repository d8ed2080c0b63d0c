#include "ie/Download/ScreeningRules.h"

#include "utils/Text/AsciiCase.h"
#include "utils/URL/AddressRules.h"
#include "utils/URL/QueryValue.h"
#include "utils/URL/UURL.h"

#include <cstring>

namespace {

struct Signature {
    std::size_t length;
    std::uint8_t bytes[12];
};

const Signature kProgramSignatures[] = {
    {5, {0x4D, 0x5A, 0x90, 0x00, 0x03}},                          // DOS/Windows executable
    {4, {0x4D, 0x53, 0x43, 0x46}},                                // "MSCF" cabinet
    {4, {0x50, 0x4B, 0x03, 0x04}},                                // ZIP
    {8, {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1}},        // OLE compound file (installers)
    {7, {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00}},              // RAR
    {2, {0x1F, 0x8B}},                                            // gzip
};

const Signature kMediaSignatures[] = {
    {3, {0x46, 0x57, 0x53}},                                      // "FWS" Flash
    {3, {0x43, 0x57, 0x53}},                                      // "CWS" compressed Flash
    {3, {0xFF, 0xD8, 0xFF}},                                      // JPEG
    {4, {0x47, 0x49, 0x46, 0x38}},                                // "GIF8"
    {8, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}},        // PNG
    {6, {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66}},                    // ASF (Windows Media)
    {2, {0x42, 0x4D}},                                            // "BM" bitmap
};

const char* const kMediaExtensions[] = {".swf", ".js", ".jpg", ".jpeg", ".gif", ".png"};

constexpr char kUnknownChecksumText[] = "Unknown checksum";
constexpr char kUnknownProgramText[] =
    "We've tested thousands of programs, but don't know about this one. You should be careful with this download";

template <std::size_t N>
bool MatchesAny(const Signature (&table)[N], const std::uint8_t* bytes, std::size_t size) {
    for (const Signature& row : table) {
        if (row.length <= size && std::memcmp(bytes, row.bytes, row.length) == 0)
            return true;
    }
    return false;
}

// The host of a list entry, lower-cased: entries are meant to be domains,
// but users have listed whole addresses.
std::string EntrySite(std::string_view entry) {
    UURL url;
    if (url.Assign(TruncateAtSeparator(entry)) && !url.GetHostName().empty())
        return LowerAscii(url.GetHostName());
    return LowerAscii(entry);
}

bool IsSameOrBeneath(const std::string& domain, const std::string& site) {
    if (site.empty() || domain.size() < site.size())
        return false;
    if (domain.compare(domain.size() - site.size(), site.size(), site) != 0)
        return false;
    return domain.size() == site.size() || domain[domain.size() - site.size() - 1] == '.';
}

}  // namespace

ContentKind MatchSignature(const std::uint8_t* bytes, std::size_t size) {
    if (!bytes)
        return ContentKind::kNeither;
    if (MatchesAny(kProgramSignatures, bytes, size))
        return ContentKind::kProgram;
    if (MatchesAny(kMediaSignatures, bytes, size))
        return ContentKind::kMedia;
    return ContentKind::kNeither;
}

bool HasMediaExtension(std::string_view urlPath) {
    const std::size_t dot = urlPath.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string extension = LowerAscii(urlPath.substr(dot));
    for (const char* media : kMediaExtensions) {
        if (extension == media)
            return true;
    }
    return false;
}

std::string ReferringSiteFromClickRecord(const std::uint8_t* record, std::size_t size, std::int64_t now) {
    if (!record || size <= kClickDomainOffset)
        return std::string();
    std::int64_t time = 0;
    std::memcpy(&time, record, sizeof time);
    // A time ahead of ours is not a recent click. Behind it, the distance is
    // taken unsigned: any stored value, however far back, fits.
    if (time > now ||
        static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(time) >= std::uint64_t{kClickWindowSeconds})
        return std::string();
    const char* domain = reinterpret_cast<const char*>(record + kClickDomainOffset);
    const std::size_t room = size - kClickDomainOffset;
    const std::size_t limit = room < kClickDomainLimit ? room : kClickDomainLimit;
    std::size_t length = 0;
    while (length < limit && domain[length] != '\0')
        ++length;
    return std::string(domain, length);
}

bool DownloadSiteOnList(std::string_view downloadUrl, std::string_view listText) {
    UURL url;
    if (!url.Assign(downloadUrl) || url.GetHostName().empty())
        return false;
    const std::string domain = LowerAscii(url.GetDomain());
    if (domain.empty())
        return false;
    std::size_t start = 0;
    while (start <= listText.size()) {
        std::size_t end = listText.find(';', start);
        if (end == std::string_view::npos)
            end = listText.size();
        if (end > start && IsSameOrBeneath(domain, EntrySite(listText.substr(start, end - start))))
            return true;
        start = end + 1;
    }
    return false;
}

std::string WarningDialogText(const std::string& verdictText) {
    if (verdictText.empty() || verdictText == kUnknownChecksumText)
        return kUnknownProgramText;
    return verdictText;
}

std::string OverrideNoticeText(const std::string& downloadUrl, const std::string& digest) {
    std::string text = "type=override&url=" + EncodeQueryValue(downloadUrl);
    if (!digest.empty())
        text += "&cksum=" + EncodeQueryValue(digest);
    return text;
}
