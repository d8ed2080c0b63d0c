// Registrable domains: the public suffixes under which anyone may register a
// name ("com", "co.uk", "github.io", "*.ck" but not "www.ck"), from the
// Public Suffix List as browsers use it, ICANN and private sections alike.
// The list is compiled in at build time: nothing is read at run time.
#pragma once

#include <cstddef>
#include <string_view>

// Hosts are read as their non-empty labels: runs of dots separate like one,
// and letters match in any case.

// How many labels, counted from the right, the host's public suffix spans:
// the longest matching rule, an exception rule taking precedence, and one
// label (the top-level name) when no rule matches. The answer exceeds the
// host's labels when a wildcard rule has nothing below it to match ("ck").
std::size_t PublicSuffixLength(std::string_view host);

// How many labels from the right make the registrable domain: one more than
// the public suffix, or all of them when the host is itself a public suffix.
std::size_t RegistrableDomainLength(std::string_view host);

// The number of rules the compiled table holds, for the tests.
std::size_t PublicSuffixRuleCount();
