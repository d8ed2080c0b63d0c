// The user's do-not-warn list as the service keeps it: sites in the order
// they were added, each once (compared without regard to case), bounded in
// number and length so that no sender can grow it without limit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CWhitelistStore {
public:
    static constexpr std::size_t kMaxSites = 1000;
    static constexpr std::size_t kMaxSiteLength = 256;

    // Each returns whether the list changed. A site is trimmed and lower-cased;
    // an empty one, one holding ";" or a control character, or one too long
    // is refused (Add) or ignored (Replace).
    bool Add(std::string_view site);
    bool Remove(std::string_view site);
    // Replaces the whole list by the ";"-separated text.
    bool Replace(std::string_view list);

    // The list as the add-on reads it: sites separated by ";".
    std::string ListText() const;
    // The file form, one site a line, and back (unusable lines are skipped).
    std::string FileText() const;
    void LoadFileText(std::string_view text);

    const std::vector<std::string>& Sites() const { return sites_; }

private:
    static bool Normalize(std::string_view site, std::string& normalized);
    bool Contains(const std::string& site) const;

    std::vector<std::string> sites_;
};
