// Natively there is no options store: nothing is counted.
#include "utils/iRPC/VerdictUsage.h"

void CountVerdictPassedOn(std::int32_t) {}

void CountExpiredDocument() {}
