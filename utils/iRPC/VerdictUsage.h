// Usage counters of the product improvement program: how many site and
// download verdicts of each classification were passed on.
#pragma once

#include <cstdint>

// When the machine-wide option "PIP" reads exactly "true", adds one to the
// per-user counter of the code ("PIP\Cert", "PIP\Ok", "PIP\Info",
// "PIP\Unknown", "PIP\Warn"); other codes count nothing.
void CountVerdictPassedOn(std::int32_t code);

// Counts a result document that had already expired when it was read.
void CountExpiredDocument();
