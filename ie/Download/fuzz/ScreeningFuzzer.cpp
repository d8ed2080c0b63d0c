// Feeds arbitrary bytes to everything of download screening that reads what
// others wrote: the last-click block (written by any process of the session),
// the first bytes of a download and the service's do-not-warn list text.
#include "ie/Download/DownloadScreen.h"
#include "ie/Download/ScreeningRules.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int64_t now = 0;
    if (size >= sizeof now)
        std::memcpy(&now, data, sizeof now);
    const std::string site = ReferringSiteFromClickRecord(data, size, now);
    if (site.size() > kClickDomainLimit || site.find('\0') != std::string::npos)
        std::abort();

    MatchSignature(data, size);

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t split = text.find('\n');
    const std::string_view url = text.substr(0, split);
    const std::string_view list = split == std::string_view::npos ? std::string_view() : text.substr(split + 1);
    DownloadSiteOnList(url, list);
    HasMediaExtension(url);

    // The bytes as a download, in chunks of sizes the bytes themselves choose.
    CDownloadScreen screen([](const std::string& digest, CDownloadScreen::Verdict& verdict) {
        if (digest.size() != 32)
            std::abort();
        verdict.code = 4;
        return true;
    });
    screen.SetDownloadUrl(std::string(url));
    std::size_t at = 0;
    while (at < size) {
        const std::size_t chunk = 1 + data[at] % 64;
        const std::size_t take = chunk < size - at ? chunk : size - at;
        screen.OnData(data + at, take);
        at += take;
    }
    screen.OnEndOfData();
    if (screen.QueryCount() > 2)
        std::abort();
    return 0;
}
