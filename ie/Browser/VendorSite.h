// Our own pages that the add-on opens in the browser: the page explaining a
// blocked exploit site, the feedback page and those of the user interface.
// They ship as local HTML files in the "pages" folder beside the module, so
// they show even offline; the per-user option "SiteBase" (say
// "https://www.example.com") serves them from a web site instead.
#pragma once

#include "utils/URL/QueryValue.h"

#include <string>

// The address of a page: "/exploit.html" with its query appended as given.
std::string VendorPage(const std::string& path, const std::string& query = std::string());

