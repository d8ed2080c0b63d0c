// Reads arbitrary text as a ratings database. Whatever loads must find each
// site by its own name and yield answer documents free of raw control
// characters (which XML cannot carry); the text is also taken as a
// do-not-warn list and as the service's command line.
#include "service/CAnswerDocument.h"
#include "service/CRatingsStore.h"
#include "service/CServiceCommandLine.h"
#include "service/CWhitelistStore.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void CheckDocument(const std::string& xml) {
    for (const char c : xml) {
        if (static_cast<unsigned char>(c) < 0x20)
            __builtin_trap();
    }
}

void CheckSites(const CRatingsStore& store, std::string_view text) {
    // Every header names a host to look up, rated or not.
    for (std::size_t at = text.find("[site "); at != std::string_view::npos; at = text.find("[site ", at + 1)) {
        const std::size_t end = text.find(']', at);
        const std::string_view host = text.substr(at + 6, end == std::string_view::npos ? 0 : end - at - 6);
        const SiteRating* site = store.FindSite(host);
        if (site && store.FindSite(site->name) != site)
            __builtin_trap();
        CheckDocument(CAnswerDocument::ForSite(site, host, 0));
        CheckDocument(CAnswerDocument::ForSite(store.FindSite("www." + std::string(host)), host, 0));
    }
    for (std::size_t at = text.find("[download "); at != std::string_view::npos;
         at = text.find("[download ", at + 1)) {
        const DownloadRating* download = store.FindDownload(text.substr(at + 10, 32));
        CheckDocument(CAnswerDocument::ForDownload(download, 0));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CRatingsStore store;
    if (store.Load(text, "fuzz") == !store.LastError().empty())
        __builtin_trap();  // a failed load says why; a good one has nothing to say
    CheckSites(store, text);

    CWhitelistStore list;
    list.Replace(text);
    for (const std::string& site : list.Sites()) {
        if (site.empty() || site.find(';') != std::string::npos)
            __builtin_trap();
    }
    const CServiceCommandLine commandLine(text);
    if ((commandLine.GetAction() == CServiceCommandLine::Action::Invalid) == commandLine.Error().empty())
        __builtin_trap();
    return 0;
}
