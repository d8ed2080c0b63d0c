#include "utils/iRPC/StringTable.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <cstring>

namespace {
constexpr char kUnknownName[] = "**Unknown**";
}

int StringToIndex(const char* text, const char* const* table) {
    if (!text || !table) {
        REPORT_ASSERT("StringToIndex", "NULL pointer");
        return -1;
    }
    for (int index = 0; table[index]; ++index) {
        if (std::strcmp(table[index], text) == 0)
            return index;
    }
    REPORT_ASSERT("StringToIndex", text);
    return -1;
}

const char* IndexToString(int index, const char* const* table) {
    if (!table || index < 0)
        return kUnknownName;
    // Walk rather than trust a size: the terminating null is the only bound.
    for (int i = 0; table[i]; ++i) {
        if (i == index)
            return table[i];
    }
    return kUnknownName;
}
