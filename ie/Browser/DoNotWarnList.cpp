#include "ie/Browser/DoNotWarnList.h"

#include "utils/Text/AsciiCase.h"
#include "utils/URL/AddressRules.h"
#include "utils/URL/UURL.h"

#include <algorithm>

namespace {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

// The host an address or a bare domain names, lower-cased; "" when none.
std::string HostOf(std::string_view address) {
    const std::string cut = TruncateAtSeparator(address);
    UURL url;
    if (!url.Assign(cut))
        return std::string();
    return LowerAscii(url.GetHostName());
}

bool Covers(const std::string& host, const std::string& site) {
    if (site.empty() || host.size() < site.size())
        return false;
    if (host.compare(host.size() - site.size(), site.size(), site) != 0)
        return false;
    return host.size() == site.size() || host[host.size() - site.size() - 1] == '.';
}

}  // namespace

void CDoNotWarnList::Set(const std::string& text) {
    entries_ = Split(text);
    received_ = true;
}

std::string CDoNotWarnList::Join() const {
    std::string text;
    for (const std::string& entry : entries_) {
        if (!text.empty())
            text += ';';
        text += entry;
    }
    return text;
}

bool CDoNotWarnList::Add(const std::string& site) {
    if (site.empty() || site.find(';') != std::string::npos ||
        std::find(entries_.begin(), entries_.end(), site) != entries_.end())
        return false;
    entries_.push_back(site);
    return true;
}

bool CDoNotWarnList::Matches(std::string_view address) const {
    const std::string host = HostOf(address);
    if (host.empty())
        return false;
    for (const std::string& entry : entries_) {
        // Users may have listed a whole address; its host is what counts.
        std::string site = HostOf(entry);
        if (site.empty())
            site = LowerAscii(entry);
        if (Covers(host, site))
            return true;
    }
    return false;
}

CDoNotWarnList::Changes CDoNotWarnList::ChangesTo(const std::string& editedText) const {
    const std::vector<std::string> edited = Split(editedText);
    Changes changes;
    for (const std::string& site : edited) {
        if (std::find(entries_.begin(), entries_.end(), site) == entries_.end() &&
            std::find(changes.added.begin(), changes.added.end(), site) == changes.added.end())
            changes.added.push_back(site);
    }
    for (const std::string& site : entries_) {
        if (std::find(edited.begin(), edited.end(), site) == edited.end())
            changes.removed.push_back(site);
    }
    return changes;
}
