// The four field encodings every message's Marshal is built from. One call
// either writes the field (reading false) or reads it back (reading true);
// a message lists its fields once and gets both directions.
//
// Reading never goes past the end of the payload: missing integers read as
// 0, missing booleans as false, texts are cut at the end.
#pragma once

#include "utils/Buffer/UIOBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

// 4 bytes, little-endian.
void MarshalInt(bool reading, UIOBuffer& buffer, std::int32_t& value);

// 1 byte, written as 0 or 1; any non-zero byte reads as true.
void MarshalBool(bool reading, UIOBuffer& buffer, bool& value);

// int32 byte count, then the text. Every "%" travels as "$PER$" (the service
// treats "%" specially), so the count includes the escapes; reading turns
// every "$PER$" back into "%".
void MarshalString(bool reading, UIOBuffer& buffer, std::string& text);

// int32 item count, then each item as int32 byte count and bytes, without
// escaping. Reading appends to `items`; a count of 0 or less reads nothing,
// and reading stops at the end of the payload whatever the count says.
void MarshalStringArray(bool reading, UIOBuffer& buffer, std::vector<std::string>& items);
