#include "ie/Browser/VendorSite.h"

#include "utils/Environment/PathMacros.h"
#include "utils/Options/Options.h"

namespace {

constexpr char kSiteBaseOption[] = "SiteBase";

// "file:///C:/Program Files/Quillon/pages", spaces kept: the browser takes
// them in file addresses.
std::string LocalPagesBase() {
    std::string folder = "%INSTALL_DIR%pages";
    ExpandPathMacros(folder);
    for (char& c : folder) {
        if (c == '\\')
            c = '/';
    }
    return "file:///" + folder;
}

}  // namespace

std::string VendorPage(const std::string& path, const std::string& query) {
    std::string base = GetOption(OptionScope::PerUser, kSiteBaseOption);
    if (base.empty())
        base = LocalPagesBase();
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base + path + query;
}
