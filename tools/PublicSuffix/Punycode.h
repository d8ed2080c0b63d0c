// The ASCII form of an internationalised host label: "xn--" and the label's
// code points in Punycode (RFC 3492). Hosts reach us in either form, so the
// suffix table carries both.
#pragma once

#include <string>
#include <string_view>

// The ASCII form of one UTF-8 label that is already lower-case and
// normalised; the label itself when it is plain ASCII. False for text that is
// not well-formed UTF-8 or would overflow the encoding.
bool ToAsciiLabel(std::string_view utf8Label, std::string& ascii);
