// Writes the rating answer documents that the result messages' document
// constructors read ("DomainQueryResponse/DomainInfo" for a site,
// "DownloadQueryResponse/DownloadInfo" for a download), so that the
// service's answers pass through the same expiry rule, defaults and
// built-in site list as every other rating.
#pragma once

#include "service/RatingRecords.h"

#include <cstdint>
#include <string>
#include <string_view>

class CAnswerDocument {
public:
    // How long the database vouches for an answer; the constructors cut it
    // to an hour.
    static constexpr std::int64_t kValidSeconds = 24 * 3600;
    // The description of a checksum the database does not rate.
    static constexpr char kUnknownChecksum[] = "Unknown checksum";

    // The document for a site. `rating` null: an UNKNOWN verdict for `host`
    // with empty facts. `now` is seconds since 1970.
    static std::string ForSite(const SiteRating* rating, std::string_view host, std::int64_t now);
    // The document for a download. `rating` null: code UNKNOWN, grey,
    // "Unknown checksum".
    static std::string ForDownload(const DownloadRating* rating, std::int64_t now);

    // Text made safe for XML content or a double-quoted attribute: markup
    // characters become entities, tab, CR and LF character references (a
    // parser turns literal ones in attributes into spaces) and other control
    // characters, which XML cannot carry, are dropped.
    static std::string Escape(std::string_view text);
};
