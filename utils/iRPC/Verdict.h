// The verdict vocabulary shared by the rating service and everything that
// shows a rating: classification codes, colours, the four facets and the
// texts shown when the service gives no description.
#pragma once

#include <cstdint>

enum VerdictCode : std::int32_t {
    VERDICT_NONE = -1,  // a name not in the table, or none given
    VERDICT_CERTIFIED = 0,
    VERDICT_OK = 1,
    VERDICT_INFO = 2,
    VERDICT_UNKNOWN = 3,
    VERDICT_WARN = 4,
    VERDICT_PENDING = 99,  // no verdict yet; never sent by the service
};

enum VerdictColor : std::int32_t {
    COLOR_NONE = -1,
    COLOR_GREEN = 0,
    COLOR_YELLOW = 1,
    COLOR_RED = 2,
    COLOR_GREY = 3,
    COLOR_DARKGREY = 4,
};

// The facets of a site verdict, always in this order.
enum VerdictFacet : int {
    FACET_COMMERCE = 0,
    FACET_DOWNLOADS = 1,
    FACET_PERSONALINFO = 2,
    FACET_ROGUE = 3,
};
constexpr int kFacetCount = 4;

// Null-terminated name tables for StringToIndex and IndexToString.
extern const char* const kVerdictCodeNames[];   // "CERTIFIED" ... "WARN"
extern const char* const kVerdictColorNames[];  // "green" ... "darkgrey"
// Element names of the facets in the service's documents ("CommerceInfo" ...).
extern const char* const kFacetElementNames[kFacetCount];
// Names of the facets in traces ("Commerce", "Downloads", "PersonalInfo", "Rogue").
extern const char* const kFacetTraceNames[kFacetCount];

// The text shown for a code when the service gave none; empty for a code
// outside 0..4.
const char* DefaultVerdictDescription(std::int32_t code);
const char* DefaultFacetDescription(VerdictFacet facet, std::int32_t code);
