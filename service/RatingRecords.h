// What the ratings database holds about one site or one download: the facts
// the service turns into an answer document.
#pragma once

#include "utils/iRPC/Verdict.h"

#include <cstdint>
#include <string>
#include <vector>

// A verdict as the database writes it: code and colour by value, text
// optional (empty: the add-on's default text for the code applies).
struct RatedVerdict {
    std::int32_t code = VERDICT_UNKNOWN;
    std::int32_t color = COLOR_NONE;
    std::string description;
};

struct SiteRating {
    std::string name;  // lower case, as the database names it
    RatedVerdict verdict;
    // Facets in the order Commerce, Downloads, PersonalInfo, Rogue; a code of
    // VERDICT_NONE means the database says nothing about that facet.
    RatedVerdict facets[kFacetCount] = {{VERDICT_NONE, COLOR_NONE, {}},
                                        {VERDICT_NONE, COLOR_NONE, {}},
                                        {VERDICT_NONE, COLOR_NONE, {}},
                                        {VERDICT_NONE, COLOR_NONE, {}}};
    std::string baseDomain;
    std::int64_t created = 0;  // seconds since 1970, 0 when unknown
    std::string registrantCountry;
    std::string registrantState;
    std::string registrantCity;
    std::string address;
    std::string addressCountry;
    std::string popularity;
    bool dynamicAddress = false;
    bool userContent = false;
    std::vector<std::string> patterns;  // as the page scripts match them
    std::string registrationCreated;
    std::string registrationExpires;
};

struct DownloadRating {
    std::string checksum;  // 32 lower-case hex digits
    std::string title;
    RatedVerdict verdict;
};
