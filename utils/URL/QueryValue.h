// Texts placed into the query of an address or a notice
// ("name=value&name=value"), where "&", "=" or "#" inside a value would
// start another field.
#pragma once

#include <string>

// A text made safe for a query value: everything but letters, digits and
// "-._~" is percent-encoded.
std::string EncodeQueryValue(const std::string& text);
