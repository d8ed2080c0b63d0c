// The ratings database of the service: per site a verdict, four facets and
// the domain facts; per download checksum a verdict. Loaded from the
// human-editable text described in the README ("Ratings database").
#pragma once

#include "service/RatingRecords.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

class CRatingsStore {
public:
    // Replaces the contents with the database `text`. A fault anywhere makes
    // the whole text untrusted: the store is left empty, the fault is
    // reported under "CRatingsStore::Load" as "<source> line <n>: <why>",
    // kept in LastError() and false is returned.
    bool Load(std::string_view text, const std::string& source);
    void Clear();

    // The rating of the host (any case, trailing dot allowed), else of its
    // nearest parent domain that has one; parents are tried down to the
    // registrable domain ("bbc.co.uk", never "co.uk"), never for a numeric
    // address. Null when none is rated.
    const SiteRating* FindSite(std::string_view host) const;
    // By 32 hex digits in any case; null when not rated.
    const DownloadRating* FindDownload(std::string_view checksum) const;

    std::size_t SiteCount() const { return sites_.size(); }
    std::size_t DownloadCount() const { return downloads_.size(); }
    const std::string& LastError() const { return lastError_; }

private:
    class Parser;

    std::map<std::string, SiteRating, std::less<>> sites_;
    std::map<std::string, DownloadRating, std::less<>> downloads_;
    std::string lastError_;
};
