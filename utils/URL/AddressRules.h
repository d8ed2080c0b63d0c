// Which addresses may be sent for rating: only web addresses on the public
// internet. Private networks and the local machine are never asked about.
#pragma once

#include <string>
#include <string_view>

// Whether the host text starts with a private-network prefix ("10.",
// "192.168.", "172.16." to "172.31."). Only that dotted spelling is known. A
// null host is reported and counts as non-routable.
bool IsNonroutable(const char* host);
bool IsNonroutable(std::string_view host);

// Whether the address is an http or https address of a public host. A null
// address is reported and is not rateable.
bool IsRateableURL(const char* address);
bool IsRateableURL(std::string_view address);

// The text up to the first "?", "&", ";" or ",", for list look-ups. A null
// text is reported and yields an empty text.
std::string TruncateAtSeparator(const char* text);
std::string TruncateAtSeparator(std::string_view text);
