#include "utils/iRPC/Verdict.h"

const char* const kVerdictCodeNames[] = {"CERTIFIED", "OK", "INFO", "UNKNOWN", "WARN", nullptr};
const char* const kVerdictColorNames[] = {"green", "yellow", "red", "grey", "darkgrey", nullptr};
const char* const kFacetElementNames[kFacetCount] = {"CommerceInfo", "DownloadsInfo",
                                                     "PersonalInformationInfo", "RogueInfo"};
const char* const kFacetTraceNames[kFacetCount] = {"Commerce", "Downloads", "PersonalInfo", "Rogue"};

namespace {

constexpr int kCodeCount = 5;

// Texts in the system's 8-bit code page; "\xA0" is its no-break space.
const char* const kOverallDescriptions[kCodeCount] = {
    "We've tested this site and found it safe to use.",
    "We tested this site and didn't find any significant problems to report.",
    "Be careful. We found mixed results on this site.",
    "We've started testing this website, but don't have the results yet.",
    "We recommend that you not use this site.",
};

const char* const kFacetDescriptions[kFacetCount][kCodeCount] = {
    {
        // Commerce
        "We've tested this site and found it safe to use.",
        "We tested this site and didn't find any significant problems to report.",
        "We found mixed results on this site, based on our analysis and consumer complaints.",
        "We've started testing this website, but don't have the results yet.",
        "We recommend you not use this site,\xA0" "based on our analysis and consumer complaints.",
    },
    {
        // Downloads
        "In our tests, downloads from this site were free of adware, spyware, and other unwanted programs.",
        "In our tests, downloads from this site were free of adware, spyware, and other unwanted programs.",
        "In our tests, we found mixed results in the downloads from this site.",
        "We've started testing this website, but don't have the results yet.",
        "In our tests, we found downloads on this site that some people would consider adware, spyware or other unwanted programs.",
    },
    {
        // PersonalInfo
        "We've tested this site and found it safe to enter your e-mail address.",
        "We entered our e-mail address on this site and received either a low volume of e-mail or mostly non-spammy e-mail.",
        "We entered our e-mail address on this site and found mixed results.",
        "We've started testing this site, but don't have the results yet.",
        "We entered our e-mail address on this site and found it sent either a large volume of e-mail or it sent spammy e-mail.",
    },
    {
        // Rogue
        "We've tested this site and found it safe to use.",
        "Our analysis indicates this site may be trying to misrepresent itself.",
        "Be careful. We found mixed results when testing this site.",
        "We've tested hundreds of thousands of websites, but we haven't tested this one yet.",
        "Our analysis indicates this site may be trying to misrepresent itself .",
    },
};

bool IsKnownCode(std::int32_t code) {
    return code >= 0 && code < kCodeCount;
}

}  // namespace

const char* DefaultVerdictDescription(std::int32_t code) {
    return IsKnownCode(code) ? kOverallDescriptions[code] : "";
}

const char* DefaultFacetDescription(VerdictFacet facet, std::int32_t code) {
    if (facet < 0 || facet >= kFacetCount || !IsKnownCode(code))
        return "";
    return kFacetDescriptions[facet][code];
}
