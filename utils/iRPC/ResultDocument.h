// Reading the rating service's answer documents into result messages: the
// parts every document constructor shares.
#pragma once

#include "utils/XML/CXMLNode.h"

#include <cstdint>
#include <string>

// The expiry of a result: the info element's "expires", but never more than
// an hour from now (compared as unsigned 32-bit numbers). False, and the
// expired-document counter incremented, when that time has already passed:
// the caller then keeps its defaults.
bool ReadExpiry(const CXMLNode& info, std::int32_t& expiry);

// One verdict element ("Classification" or a facet): the attribute "code"
// by name, "color" by name when not empty (-1 when empty; pass null to
// ignore it) and the text of "description". False when the element is absent.
bool ReadVerdictElement(const CXMLNode* element, std::int32_t& code, std::int32_t* color,
                        std::string& description);
