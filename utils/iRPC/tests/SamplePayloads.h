// Result payloads written field by field, the way the rating service writes
// them, for tests and benchmarks that decode them. Each starts with the
// request id, as on the wire.
#pragma once

#include "utils/Buffer/UIOBuffer.h"
#include "utils/iRPC/Verdict.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rpc_samples {

struct SiteVerdict {
    std::int32_t requestId = 77;
    std::int32_t version = 4;
    std::int32_t expiry = 0;
    std::string name = "bad.example";
    std::int32_t code = VERDICT_WARN;
    std::int32_t color = COLOR_RED;
    std::string description = "Stay away: 100% bad";
    std::int32_t facetCodes[kFacetCount] = {VERDICT_OK, VERDICT_INFO, VERDICT_WARN, VERDICT_NONE};
    std::string facetText = "facet";
};

struct DomainFacts {
    std::int32_t requestId = 5;
    std::int32_t version = 5;
    std::int32_t expiry = 0;
    std::string baseDomain = "example.com";
    std::vector<std::string> patterns = {"^http://(www\\.)?example\\.com/", "^https://example\\.com/"};
    std::string popularity = "42";
    std::int32_t created = 1141516800;
    std::string country = "US", state = "CA", city = "Palo Alto";
    std::string addressCountry = "DE";
    bool dynamicAddress = true;
    bool userContent = false;
    std::string address = "192.0.2.1";
    std::string addressCountryAgain = "FR";  // the second copy on the wire
    std::string registrationCreated = "2006-03-05", registrationExpires = "2030-03-05";
};

struct DownloadVerdict {
    std::int32_t requestId = 9;
    std::int32_t version = 2;
    std::int32_t expiry = 0;
    std::string title = "setup.exe";
    std::int32_t code = VERDICT_INFO;
    std::int32_t color = COLOR_YELLOW;
    std::string description = "Mixed";
};

UIOBuffer Payload(SiteVerdict fields);
UIOBuffer Payload(DomainFacts fields);
UIOBuffer Payload(DownloadVerdict fields);

}  // namespace rpc_samples
