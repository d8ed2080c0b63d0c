// Sites the product vouches for whatever the service says: an enciphered
// list carried as a resource (type "w", id 207) of the process's main
// program. The add-on module itself carries none.
#pragma once

#include <string>

// Whether the name, in any letter case, is one of the list's names. The
// list is loaded at first use and kept for the life of the process; while
// the resource is missing, every call tries again.
bool IsBuiltInSite(const std::string& name);
