#include "service/CWhitelistStore.h"

#include <algorithm>
#include <cctype>

bool CWhitelistStore::Normalize(std::string_view site, std::string& normalized) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!site.empty() && isSpace(site.front()))
        site.remove_prefix(1);
    while (!site.empty() && isSpace(site.back()))
        site.remove_suffix(1);
    if (site.empty() || site.size() > kMaxSiteLength)
        return false;
    normalized.clear();
    for (const char c : site) {
        if (c == ';' || static_cast<unsigned char>(c) < 0x20)
            return false;
        normalized += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return true;
}

bool CWhitelistStore::Contains(const std::string& site) const {
    return std::find(sites_.begin(), sites_.end(), site) != sites_.end();
}

bool CWhitelistStore::Add(std::string_view site) {
    std::string normalized;
    if (!Normalize(site, normalized) || Contains(normalized) || sites_.size() >= kMaxSites)
        return false;
    sites_.push_back(std::move(normalized));
    return true;
}

bool CWhitelistStore::Remove(std::string_view site) {
    std::string normalized;
    if (!Normalize(site, normalized))
        return false;
    const auto found = std::find(sites_.begin(), sites_.end(), normalized);
    if (found == sites_.end())
        return false;
    sites_.erase(found);
    return true;
}

bool CWhitelistStore::Replace(std::string_view list) {
    const std::vector<std::string> before = std::move(sites_);
    sites_.clear();
    while (!list.empty()) {
        const std::size_t end = list.find(';');
        Add(list.substr(0, end));
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    }
    return sites_ != before;
}

std::string CWhitelistStore::ListText() const {
    std::string text;
    for (const std::string& site : sites_) {
        if (!text.empty())
            text += ';';
        text += site;
    }
    return text;
}

std::string CWhitelistStore::FileText() const {
    std::string text;
    for (const std::string& site : sites_)
        text += site + "\r\n";
    return text;
}

void CWhitelistStore::LoadFileText(std::string_view text) {
    sites_.clear();
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        Add(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
}
