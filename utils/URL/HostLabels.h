// Questions about the dot-separated labels of a host name.
#pragma once

#include <cstddef>
#include <string_view>

// Whether one label reads as a number: only its first significant character
// decides ("25a" is numeric, "a25" is not; "0x" needs a hex digit after it).
// A null or empty label is reported and is not numeric.
bool IsSingleNumeric(const char* label);
bool IsSingleNumeric(std::string_view label);

// The next non-empty label of host at or after position, which moves past it;
// empty when none is left. Runs of dots count as one separator.
std::string_view NextHostLabel(std::string_view host, std::size_t& position);

// The last non-empty label of host before end, which moves to its start;
// empty when none is left. Reads labels from the right, as suffixes match.
std::string_view PreviousHostLabel(std::string_view host, std::size_t& end);
