// Names of numbered values (message types, verdict codes and colours) in
// null-terminated tables of texts, indexed by the value.
#pragma once

// Index of the first entry equal to `text` (exact byte comparison), or -1.
// A text that is not in the table is reported under "StringToIndex" with the
// text itself as the message, so unknown names from the service show up.
int StringToIndex(const char* text, const char* const* table);

// The entry at `index`, or "**Unknown**" for a negative index or one at or
// beyond the table's end.
const char* IndexToString(int index, const char* const* table);
