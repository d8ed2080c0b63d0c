#include "utils/iRPC/VerdictUsage.h"

#include "utils/Options/Options.h"

void CountVerdictPassedOn(std::int32_t code) {
    static const char* const kCounters[] = {"PIP\\Cert", "PIP\\Ok", "PIP\\Info", "PIP\\Unknown",
                                            "PIP\\Warn"};
    if (code < 0 || code >= static_cast<std::int32_t>(sizeof kCounters / sizeof kCounters[0]))
        return;
    if (GetOption(OptionScope::MachineWide, "PIP") != "true")
        return;
    IncrementOption(OptionScope::PerUser, kCounters[code]);
}

void CountExpiredDocument() {
    IncrementOption(OptionScope::PerUser, "PIP\\DSSExp");
}
