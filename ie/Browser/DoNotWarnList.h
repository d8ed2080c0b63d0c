// This window's copy of the user's do-not-warn list, kept by the rating
// service. Sites on it get no warnings and are never blocked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CDoNotWarnList {
public:
    // Replaces the list with the ";"-separated sites of the text (empty
    // pieces skipped) and marks it received from the service.
    void Set(const std::string& text);
    // The sites joined with ";".
    std::string Join() const;
    const std::vector<std::string>& Entries() const { return entries_; }
    // Whether the service's list has arrived yet.
    bool Received() const { return received_; }

    // Adds a site not yet on the list; false when it was there (or empty).
    bool Add(const std::string& site);

    // Whether the address (or bare domain) names a listed site: its host,
    // compared without regard to case, equals an entry or ends in "." and
    // the entry. "paypal.com" covers "www.paypal.com", never
    // "paypal.com.example" or an address that only mentions it in its path
    // or query. An address without a host matches nothing.
    bool Matches(std::string_view address) const;

    // The sites an edit added to and removed from the list.
    struct Changes {
        std::vector<std::string> added;
        std::vector<std::string> removed;
    };
    Changes ChangesTo(const std::string& editedText) const;

private:
    std::vector<std::string> entries_;
    bool received_ = false;
};
